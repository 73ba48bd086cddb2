#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// One value of an enumeration type and the word shown for it.
struct TweakEnumValue {
    int value;
    std::string label;
};

// An enumeration type defined by name: the values a variable may take, in
// the order they are offered.
class TweakEnum {
public:
    TweakEnum(std::string name, std::vector<TweakEnumValue> values);

    const std::string& Name() const { return name; }
    const std::vector<TweakEnumValue>& Values() const { return values; }

    // The position of the first pair with this value; none for a value the
    // type does not list.
    std::optional<std::size_t> ItemOf(int value) const;

private:
    std::string name;
    std::vector<TweakEnumValue> values;
};

// The bindings a variable can have: the address of the effect's own field.
struct TweakInt32 {
    std::int32_t* value;
};
struct TweakFloat {
    float* value;
};
// A direction: x, y and z.
struct TweakDirection {
    float* xyz;
};
// A colour: red, green, blue and alpha, not clamped to [0, 1].
struct TweakColor {
    float* rgba;
};
struct TweakChoice {
    int* value;
    const TweakEnum* type;

    // The item shown as chosen; none while the variable holds an unlisted value.
    std::optional<std::size_t> Chosen() const { return type->ItemOf(*value); }

    // Stores the value of the given item, one of the type's.
    void Choose(std::size_t item) const { *value = type->Values()[item].value; }
};
// A shader's uniform of one to four floats, which the effect uploads when
// it changes.
struct TweakVector {
    float* values;
    int components;
};
using TweakBinding = std::variant<TweakInt32, TweakFloat, TweakDirection, TweakColor, TweakChoice, TweakVector>;

struct TweakVariable {
    std::string name;
    std::string label;
    TweakBinding binding;
    // What the tracks that may drive it are named after: the effect's name
    // and the variable's ("NanoBall:Light pos"), or a uniform's own name,
    // which every shader naming it shares.
    std::string trackName;
};

// What each of a variable's tracks adds to its track name, one per
// component: "" for a single value, ".x" ".y" ".z" for a direction, ".r"
// ".g" ".b" ".a" for a colour, ".x" to ".w" for a uniform of several floats.
std::span<const char* const> TrackSuffixes(const TweakBinding& binding);

// One effect's section of the tweak panel: the variables its RegisterTweaks
// binds, by address, in the order registered. The panel edits them in place,
// so an edit acts at the effect's next draw; the variables must outlive the
// section.
class TweakBar {
public:
    explicit TweakBar(std::string title);

    TweakBar(const TweakBar&) = delete;
    TweakBar& operator=(const TweakBar&) = delete;

    // The returned type lives as long as the section.
    const TweakEnum& DefineEnum(std::string name, std::vector<TweakEnumValue> values);

    void AddInt32(std::string name, std::int32_t& variable, std::string label);
    void AddFloat(std::string name, float& variable, std::string label);
    void AddDirection(std::string name, std::span<float, 3> variable, std::string label);
    void AddColor(std::string name, std::span<float, 4> variable, std::string label);
    void AddEnum(std::string name, const TweakEnum& type, int& variable, std::string label);
    // A uniform of one to four floats, its tracks named after it alone.
    void AddUniform(std::string name, std::span<float> values);

    // Names the tracks of the variables that have no track name yet after
    // the effect: "EFFECT:VARIABLE".
    void NameTracks(std::string_view effectName);

    const std::string& Title() const { return title; }
    const std::vector<TweakVariable>& Variables() const { return variables; }

    // The first variable registered under this name, or null.
    const TweakVariable* Find(std::string_view name) const;

private:
    std::string title;
    std::vector<std::unique_ptr<TweakEnum>> enums;
    std::vector<TweakVariable> variables;
};
