#include "script/TweakTracks.h"

#include <cmath>
#include <limits>
#include <variant>

namespace {

template <class... Visitors>
struct Overloaded : Visitors... {
    using Visitors::operator()...;
};
template <class... Visitors>
Overloaded(Visitors...) -> Overloaded<Visitors...>;

int Rounded(double value)
{
    constexpr double lowest = std::numeric_limits<int>::min();
    constexpr double highest = std::numeric_limits<int>::max();
    return static_cast<int>(std::lround(std::fmin(std::fmax(value, lowest), highest)));
}

void Write(const TweakBinding& binding, std::size_t component, const SyncTrack& track, double row)
{
    std::visit(Overloaded{
                   [&](const TweakInt32& bound) { *bound.value = Rounded(track.ValueAt(row)); },
                   [&](const TweakFloat& bound) { *bound.value = static_cast<float>(track.ValueAt(row)); },
                   [&](const TweakDirection& bound) { bound.xyz[component] = static_cast<float>(track.ValueAt(row)); },
                   [&](const TweakColor& bound) { bound.rgba[component] = static_cast<float>(track.ValueAt(row)); },
                   [&](const TweakChoice& bound) {
                       // A choice has no values between its items: it holds
                       // each key's until the next, and skips unlisted ones.
                       const int value = Rounded(track.HeldValueAt(row));
                       if (bound.type->ItemOf(value)) {
                           *bound.value = value;
                       }
                   },
                   [&](const TweakVector& bound) { bound.values[component] = static_cast<float>(track.ValueAt(row)); },
               },
               binding);
}

}  // namespace

TweakTracks::TweakTracks(const EffectList& effects, SyncTracks& tracks) : sections(effects)
{
    for (const auto& effect : effects) {
        for (const TweakVariable& variable : effect->tweakBar->Variables()) {
            Binding binding{&variable, {}, 0};
            for (const char* suffix : TrackSuffixes(variable.binding)) {
                binding.tracks[binding.components++] = &tracks.Drive(variable.trackName + suffix);
            }
            bindings.push_back(binding);
        }
    }
}

void TweakTracks::Apply(double row) const
{
    for (const Binding& binding : bindings) {
        for (std::size_t component = 0; component < binding.components; ++component) {
            if (binding.tracks[component]->HasKeys()) {
                Write(binding.variable->binding, component, *binding.tracks[component], row);
            }
        }
    }
}

std::span<SyncTrack* const> TweakTracks::TracksOf(const TweakVariable& variable) const
{
    for (const Binding& binding : bindings) {
        if (binding.variable == &variable) {
            return std::span<SyncTrack* const>(binding.tracks).first(binding.components);
        }
    }
    return {};
}

float ComponentValue(const TweakBinding& binding, std::size_t component)
{
    return std::visit(Overloaded{
                          [](const TweakInt32& bound) { return static_cast<float>(*bound.value); },
                          [](const TweakFloat& bound) { return *bound.value; },
                          [&](const TweakDirection& bound) { return bound.xyz[component]; },
                          [&](const TweakColor& bound) { return bound.rgba[component]; },
                          [](const TweakChoice& bound) { return static_cast<float>(*bound.value); },
                          [&](const TweakVector& bound) { return bound.values[component]; },
                      },
                      binding);
}
