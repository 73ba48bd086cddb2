#include "script/TweakBar.h"

TweakEnum::TweakEnum(std::string name, std::vector<TweakEnumValue> values) : name(std::move(name)), values(std::move(values)) {}

std::optional<std::size_t> TweakEnum::ItemOf(int value) const
{
    for (std::size_t item = 0; item < values.size(); ++item) {
        if (values[item].value == value) {
            return item;
        }
    }
    return std::nullopt;
}

TweakBar::TweakBar(std::string title) : title(std::move(title)) {}

const TweakEnum& TweakBar::DefineEnum(std::string name, std::vector<TweakEnumValue> values)
{
    enums.push_back(std::make_unique<TweakEnum>(std::move(name), std::move(values)));
    return *enums.back();
}

void TweakBar::AddInt32(std::string name, std::int32_t& variable, std::string label)
{
    variables.push_back({std::move(name), std::move(label), TweakInt32{&variable}});
}

void TweakBar::AddFloat(std::string name, float& variable, std::string label)
{
    variables.push_back({std::move(name), std::move(label), TweakFloat{&variable}});
}

void TweakBar::AddDirection(std::string name, std::span<float, 3> variable, std::string label)
{
    variables.push_back({std::move(name), std::move(label), TweakDirection{variable.data()}});
}

void TweakBar::AddColor(std::string name, std::span<float, 4> variable, std::string label)
{
    variables.push_back({std::move(name), std::move(label), TweakColor{variable.data()}});
}

void TweakBar::AddEnum(std::string name, const TweakEnum& type, int& variable, std::string label)
{
    variables.push_back({std::move(name), std::move(label), TweakChoice{&variable, &type}});
}

const TweakVariable* TweakBar::Find(std::string_view name) const
{
    for (const TweakVariable& variable : variables) {
        if (variable.name == name) {
            return &variable;
        }
    }
    return nullptr;
}
