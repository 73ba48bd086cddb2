#include "script/EffectList.h"

EffectList::~EffectList()
{
    Clear();
}

void EffectList::Append(std::unique_ptr<Effekt> effect)
{
    effects.push_back(std::move(effect));
}

void EffectList::Clear()
{
    for (auto& effect : effects) {
        effect.reset();
    }
    effects.clear();
}

void EffectList::Replace(std::size_t index, std::unique_ptr<Effekt> effect)
{
    effects[index] = std::move(effect);
}
