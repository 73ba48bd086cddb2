#include "script/TweakBar.h"

#include <array>

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
    variables.push_back({std::move(name), std::move(label), TweakInt32{&variable}, {}});
}

void TweakBar::AddFloat(std::string name, float& variable, std::string label)
{
    variables.push_back({std::move(name), std::move(label), TweakFloat{&variable}, {}});
}

void TweakBar::AddDirection(std::string name, std::span<float, 3> variable, std::string label)
{
    variables.push_back({std::move(name), std::move(label), TweakDirection{variable.data()}, {}});
}

void TweakBar::AddColor(std::string name, std::span<float, 4> variable, std::string label)
{
    variables.push_back({std::move(name), std::move(label), TweakColor{variable.data()}, {}});
}

void TweakBar::AddEnum(std::string name, const TweakEnum& type, int& variable, std::string label)
{
    variables.push_back({std::move(name), std::move(label), TweakChoice{&variable, &type}, {}});
}

void TweakBar::AddUniform(std::string name, std::span<float> values)
{
    std::string label = name;
    std::string trackName = name;
    variables.push_back({std::move(name), std::move(label), TweakVector{values.data(), static_cast<int>(values.size())},
                         std::move(trackName)});
}

void TweakBar::NameTracks(std::string_view effectName)
{
    for (TweakVariable& variable : variables) {
        if (variable.trackName.empty()) {
            variable.trackName.append(effectName).append(":").append(variable.name);
        }
    }
}

std::span<const char* const> TrackSuffixes(const TweakBinding& binding)
{
    static constexpr std::array<const char*, 1> single{""};
    static constexpr std::array<const char*, 3> direction{".x", ".y", ".z"};
    static constexpr std::array<const char*, 4> colour{".r", ".g", ".b", ".a"};
    static constexpr std::array<const char*, 4> vector{".x", ".y", ".z", ".w"};
    if (std::holds_alternative<TweakDirection>(binding)) {
        return direction;
    }
    if (std::holds_alternative<TweakColor>(binding)) {
        return colour;
    }
    if (const TweakVector* uniform = std::get_if<TweakVector>(&binding); uniform != nullptr && uniform->components > 1) {
        return std::span<const char* const>(vector).first(static_cast<std::size_t>(uniform->components));
    }
    return single;
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
