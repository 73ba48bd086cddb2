#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <vector>

#include "script/EffectList.h"
#include "script/TweakSections.h"
#include "sync/SyncTracks.h"

// Every effect's adjustable values, bound to the tracks named after them:
// each effect gets its tweak section, and each component of each variable
// drives its track ("NanoBall:Light pos.x", a uniform's "glow"). While the
// bindings live the effects must live, or be detached first.
class TweakTracks {
public:
    TweakTracks(const EffectList& effects, SyncTracks& tracks);

    TweakTracks(const TweakTracks&) = delete;
    TweakTracks& operator=(const TweakTracks&) = delete;

    // Writes the value of every keyed track at the row into its component:
    // whole numbers take it rounded, choices the held key's value rounded
    // when the choice lists it. Components whose tracks have no keys keep
    // what the effect or the panel gave them. Allocates nothing.
    void Apply(double row) const;

    // A variable's tracks, one per component; none for a variable of
    // another set of effects.
    std::span<SyncTrack* const> TracksOf(const TweakVariable& variable) const;

private:
    struct Binding {
        const TweakVariable* variable;
        std::array<SyncTrack*, 4> tracks;
        std::size_t components;
    };

    TweakSections sections;
    std::vector<Binding> bindings;
};

// A component of a variable's value, as a key would hold it.
float ComponentValue(const TweakBinding& binding, std::size_t component);
