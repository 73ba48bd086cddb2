#include "script/TweakSections.h"

#include <cxxabi.h>

#include <cstdlib>
#include <typeinfo>

TweakSections::TweakSections(const EffectList& effectList)
{
    effects.reserve(effectList.Size());
    sections.reserve(effectList.Size());
    try {
        for (const auto& effect : effectList) {
            sections.push_back(std::make_unique<TweakBar>(SectionTitle(*effect)));
            effects.push_back(effect.get());
            effect->tweakBar = sections.back().get();
            effect->RegisterTweaks();
            sections.back()->NameTracks(effect->name.empty() ? ClassName(*effect) : effect->name);
        }
    } catch (...) {
        Detach();  // no effect may keep a section that is gone
        throw;
    }
}

TweakSections::~TweakSections()
{
    Detach();
}

void TweakSections::Detach()
{
    for (Effekt* effect : effects) {
        effect->tweakBar = nullptr;
    }
    effects.clear();
    sections.clear();
}

std::string ClassName(const Effekt& effect)
{
    const char* mangled = typeid(effect).name();
    int status = 0;
    const std::unique_ptr<char, decltype(&std::free)> demangled(abi::__cxa_demangle(mangled, nullptr, nullptr, &status),
                                                                 &std::free);
    std::string title = status == 0 ? demangled.get() : mangled;
    const std::string::size_type scope = title.rfind("::");
    if (scope != std::string::npos) {
        title.erase(0, scope + 2);
    }
    return title;
}

std::string SectionTitle(const Effekt& effect)
{
    std::string title = ClassName(effect);
    if (!effect.name.empty()) {
        title += ' ';
        title += effect.name;
    }
    return title;
}
