#pragma once

#include <memory>
#include <string>
#include <vector>

#include "script/EffectList.h"
#include "script/TweakBar.h"

// The tweak panel's sections: one per effect, handed to the effect as its
// tweakBar, after which its RegisterTweaks binds its variables there, whose
// tracks are then named after the effect's name (its class's without one).
// Detaching takes the sections back; the effects must outlive the sections
// or be detached first.
class TweakSections {
public:
    explicit TweakSections(const EffectList& effects);
    ~TweakSections();

    TweakSections(const TweakSections&) = delete;
    TweakSections& operator=(const TweakSections&) = delete;

    // Clears every effect's tweakBar and drops the sections; later calls do nothing.
    void Detach();

    std::size_t Size() const { return sections.size(); }

private:
    std::vector<Effekt*> effects;
    std::vector<std::unique_ptr<TweakBar>> sections;
};

// The effect's class without its namespace ("AlphaBlendImage").
std::string ClassName(const Effekt& effect);

// A section's title: the effect's class without its namespace, then its
// name when it has one ("AlphaBlendImage data/pictures/northern.jpg").
std::string SectionTitle(const Effekt& effect);
