#include "app/TweakPanel.h"

#include <imgui.h>

#include <algorithm>
#include <array>
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

// Music time as minutes:seconds.milliseconds.
std::array<char, 24> ClockText(std::uint32_t milliseconds)
{
    std::array<char, 24> text{};
    std::snprintf(text.data(), text.size(), "%u:%02u.%03u", static_cast<unsigned>(milliseconds / 60000),
                  static_cast<unsigned>(milliseconds / 1000 % 60), static_cast<unsigned>(milliseconds % 1000));
    return text;
}

constexpr float timelineRow = 12.0f;
constexpr float timelineLabelWidth = 190.0f;
constexpr float timelineBarsWidth = 420.0f;
constexpr float timelineHeight = 320.0f;

}  // namespace

TweakPanel::TweakPanel(DemoWindow& window, const EffectList& effects)
    : window(window), effects(effects), sections(std::in_place, effects)
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
    sections.reset();
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

void TweakPanel::ShowTimeline(TimeControls& controls, double seconds)
{
    timeControls = &controls;
    musicSeconds = seconds;
}

void TweakPanel::LetGoOfEffects()
{
    sections.reset();
}

void TweakPanel::TakeUpEffects()
{
    if (session) {
        sections.emplace(effects);
    }
}

void TweakPanel::Draw(std::uint32_t time, float beat)
{
    const bool noticed = notice != nullptr && !notice->empty();
    if (!session || (!visible && !noticed)) {
        return;
    }
    const SavedGlState saved;
    session->BeginFrame();
    if (noticed) {
        DrawNotice();
    }
    if (!visible) {
        session->EndFrame();
        return;
    }
    ImGui::SetNextWindowPos(ImVec2(10.0f, 10.0f), ImGuiCond_FirstUseEver);
    ImGui::Begin("Tweaks (F1)", nullptr, ImGuiWindowFlags_AlwaysAutoResize | ImGuiWindowFlags_NoCollapse);

    ImGui::Text("Music time %s (%u ms)%s", ClockText(time).data(), static_cast<unsigned>(time),
                timeControls != nullptr && timeControls->Paused() ? ", paused (Space)" : "");
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
    if (timeControls != nullptr && musicSeconds > 0.0) {
        DrawTimeline(time);
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

void TweakPanel::DrawNotice()
{
    const ImGuiIO& io = ImGui::GetIO();
    ImGui::SetNextWindowPos(ImVec2(10.0f, io.DisplaySize.y - 10.0f), ImGuiCond_Always, ImVec2(0.0f, 1.0f));
    ImGui::SetNextWindowSizeConstraints(ImVec2(0.0f, 0.0f), ImVec2(io.DisplaySize.x - 20.0f, io.DisplaySize.y * 0.5f));
    ImGui::PushStyleColor(ImGuiCol_WindowBg, ImVec4(0.35f, 0.05f, 0.05f, 0.92f));
    ImGui::Begin("The show was not rebuilt", nullptr,
                 ImGuiWindowFlags_AlwaysAutoResize | ImGuiWindowFlags_NoCollapse | ImGuiWindowFlags_NoFocusOnAppearing |
                     ImGuiWindowFlags_NoNav | ImGuiWindowFlags_NoMove);
    ImGui::PushTextWrapPos(io.DisplaySize.x - 40.0f);
    ImGui::TextUnformatted(notice->c_str());
    ImGui::PopTextWrapPos();
    ImGui::TextDisabled("The last good show plays on until the next rebuild succeeds.");
    ImGui::End();
    ImGui::PopStyleColor();
}

void TweakPanel::DrawTimeline(std::uint32_t time)
{
    ImGui::Separator();
    if (!ImGui::CollapsingHeader("Timeline", ImGuiTreeNodeFlags_DefaultOpen)) {
        return;
    }
    const float rows = static_cast<float>(effects.Size());
    ImGui::BeginChild("entries", ImVec2(timelineLabelWidth + timelineBarsWidth + 16.0f,
                                        std::min(timelineHeight, rows * timelineRow + 8.0f)));
    ImDrawList& draw = *ImGui::GetWindowDrawList();
    const ImVec2 origin = ImGui::GetCursorScreenPos();
    const float left = origin.x + timelineLabelWidth;
    const auto xOf = [&](double milliseconds) {
        return left + static_cast<float>(milliseconds / (musicSeconds * 1000.0)) * timelineBarsWidth;
    };
    const ImU32 idle = IM_COL32(70, 110, 130, 255);
    const ImU32 drawing = IM_COL32(120, 230, 240, 255);

    // Clicking or dragging anywhere on the bars seeks there.
    ImGui::SetCursorScreenPos(ImVec2(left, origin.y));
    ImGui::InvisibleButton("bars", ImVec2(timelineBarsWidth, std::max(rows, 1.0f) * timelineRow));
    if (ImGui::IsItemActive()) {
        const float share = std::clamp((ImGui::GetIO().MousePos.x - left) / timelineBarsWidth, 0.0f, 1.0f);
        timeControls->RequestSeek(share * musicSeconds);
    }

    float y = origin.y;
    for (const auto& effect : effects) {
        const bool active = effect->IsActiveAt(time);
        const char* title = effect->tweakBar != nullptr ? effect->tweakBar->Title().c_str() : "";
        draw.PushClipRect(ImVec2(origin.x, y), ImVec2(left - 6.0f, y + timelineRow), true);
        draw.AddText(ImVec2(origin.x, y - 1.0f), active ? drawing : IM_COL32(170, 170, 170, 255), title);
        draw.PopClipRect();
        draw.AddRectFilled(ImVec2(xOf(effect->startTime), y + 2.0f),
                           ImVec2(std::max(xOf(effect->endTime), xOf(effect->startTime) + 1.0f), y + timelineRow - 2.0f),
                           active ? drawing : idle);
        y += timelineRow;
    }
    const auto marker = [&](double milliseconds, ImU32 colour) {
        draw.AddLine(ImVec2(xOf(milliseconds), origin.y), ImVec2(xOf(milliseconds), y), colour, 1.5f);
    };
    if (timeControls->LoopStart()) {
        marker(*timeControls->LoopStart(), IM_COL32(250, 190, 60, 255));
    }
    if (timeControls->LoopEnd()) {
        marker(*timeControls->LoopEnd(), IM_COL32(250, 190, 60, 255));
    }
    marker(time, IM_COL32(255, 80, 80, 255));
    ImGui::EndChild();

    ImGui::Text("0:00.000 to %s", ClockText(static_cast<std::uint32_t>(musicSeconds * 1000.0)).data());
    if (timeControls->Looping()) {
        ImGui::SameLine();
        ImGui::Text("   loop %s to %s (Backspace clears)", ClockText(*timeControls->LoopStart()).data(),
                    ClockText(*timeControls->LoopEnd()).data());
    }
}
