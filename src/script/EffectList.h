#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "script/Effekt.h"

// The show's effects in script order. It owns them and destroys them in
// that same order, while the GL context still exists.
class EffectList {
public:
    EffectList() = default;
    ~EffectList();

    EffectList(const EffectList&) = delete;
    EffectList& operator=(const EffectList&) = delete;

    void Append(std::unique_ptr<Effekt> effect);
    void Clear();
    // Puts effect in the place of the one at index, which is destroyed.
    void Replace(std::size_t index, std::unique_ptr<Effekt> effect);
    // Exchanges the effects of the two lists.
    void Swap(EffectList& other) noexcept { effects.swap(other.effects); }

    std::size_t Size() const { return effects.size(); }
    Effekt& operator[](std::size_t index) const { return *effects[index]; }

    auto begin() const { return effects.begin(); }
    auto end() const { return effects.end(); }

private:
    std::vector<std::unique_ptr<Effekt>> effects;
};
