#include "app/TweakPanel.h"

#include <imgui.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <variant>

#include "gfx/Guards.h"

namespace {

constexpr float fontPixels = 14.0f;

template <class... Visitors>
struct Overloaded : Visitors... {
    using Visitors::operator()...;
};

// One widget per kind of binding, editing the effect's field in place.
void DrawVariable(const TweakVariable& variable)
{
    const char* label = variable.label.c_str();
    std::visit(Overloaded{
                   [label](const TweakInt32& bound) { ImGui::InputInt(label, bound.value); },
                   [label](const TweakFloat& bound) {
                       // A hundredth of the value per pixel dragged, so that 0.5 and 400 both move usefully.
                       ImGui::DragFloat(label, bound.value, std::max(0.001f, std::fabs(*bound.value) * 0.01f));
                   },
                   [label](const TweakDirection& bound) { ImGui::DragFloat3(label, bound.xyz, 0.05f); },
                   [label](const TweakColor& bound) {
                       // Light colours may exceed 1 (a specular of 10).
                       ImGui::ColorEdit4(label, bound.rgba, ImGuiColorEditFlags_Float | ImGuiColorEditFlags_HDR);
                   },
                   [label](const TweakChoice& bound) {
                       const std::optional<std::size_t> chosen = bound.Chosen();
                       char unlisted[16];
                       std::snprintf(unlisted, sizeof unlisted, "%d", *bound.value);
                       const auto& values = bound.type->Values();
                       if (ImGui::BeginCombo(label, chosen ? values[*chosen].label.c_str() : unlisted)) {
                           for (std::size_t item = 0; item < values.size(); ++item) {
                               if (ImGui::Selectable(values[item].label.c_str(), chosen == item)) {
                                   bound.Choose(item);
                               }
                           }
                           ImGui::EndCombo();
                       }
                   },
               },
               variable.binding);
}

}  // namespace

TweakPanel::TweakPanel(DemoWindow& window, const EffectList& effects)
    : window(window), effects(effects), sections(effects)
{
    session.emplace(window.Window(), window.Context(), fontPixels);
    ImGui::StyleColorsDark();
    ImGui::GetStyle().Colors[ImGuiCol_WindowBg].w = 0.85f;  // the show stays visible underneath
    window.SetEventFilter(this);
}

TweakPanel::~TweakPanel()
{
    Terminate();
}

void TweakPanel::Terminate()
{
    if (!session) {
        return;
    }
    window.SetEventFilter(nullptr);
    sections.Detach();
    session.reset();
    visible = false;
}

bool TweakPanel::TakeEvent(const SDL_Event& event)
{
    if (event.type == SDL_KEYUP && event.key.keysym.sym == SDLK_F1) {
        visible = !visible;
        if (!visible) {
            SDL_SetCursor(SDL_GetDefaultCursor());  // ImGui may have left a text cursor
        }
        return true;
    }
    if (!visible) {
        return false;
    }
    session->ProcessEvent(event);
    const bool key = event.type == SDL_KEYDOWN || event.type == SDL_KEYUP || event.type == SDL_TEXTINPUT;
    return key && session->WantsTextInput();
}

void TweakPanel::Draw(std::uint32_t time, float beat)
{
    if (!visible) {
        return;
    }
    const SavedGlState saved;
    session->BeginFrame();
    ImGui::SetNextWindowPos(ImVec2(10.0f, 10.0f), ImGuiCond_FirstUseEver);
    ImGui::Begin("Tweaks (F1)", nullptr, ImGuiWindowFlags_AlwaysAutoResize | ImGuiWindowFlags_NoCollapse);

    ImGui::Text("Music time %u ms", static_cast<unsigned>(time));
    char beatText[16];
    std::snprintf(beatText, sizeof beatText, "Beat %.2f", static_cast<double>(beat));
    ImGui::ProgressBar(beat, ImVec2(ImGui::GetFontSize() * 16.0f, 0.0f), beatText);
    const float framesPerSecond = ImGui::GetIO().Framerate;
    ImGui::Text("Frame time %.2f ms (%.0f fps)", static_cast<double>(1000.0f / framesPerSecond),
                static_cast<double>(framesPerSecond));

    bool anyActive = false;
    for (const auto& effect : effects) {
        if (effect->IsActiveAt(time) && effect->tweakBar != nullptr) {
            anyActive = true;
            DrawSection(*effect);
        }
    }
    if (!anyActive) {
        ImGui::Separator();
        ImGui::TextDisabled("No effect is drawn now");
    }

    ImGui::End();
    session->EndFrame();
}

void TweakPanel::DrawSection(const Effekt& effect)
{
    ImGui::PushID(&effect);
    if (ImGui::CollapsingHeader(effect.tweakBar->Title().c_str(), ImGuiTreeNodeFlags_DefaultOpen)) {
        ImGui::TextDisabled("%u to %u ms", static_cast<unsigned>(effect.startTime), static_cast<unsigned>(effect.endTime));
        const auto& variables = effect.tweakBar->Variables();
        for (std::size_t index = 0; index < variables.size(); ++index) {
            ImGui::PushID(static_cast<int>(index));
            DrawVariable(variables[index]);
            ImGui::PopID();
        }
    }
    ImGui::PopID();
}
