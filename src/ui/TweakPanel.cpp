#include "ui/TweakPanel.h"

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

// One widget per kind of binding, editing the effect's field in place;
// true when the value changed.
bool DrawVariable(const TweakVariable& variable)
{
    const char* label = variable.label.c_str();
    return std::visit(
        Overloaded{
            [label](const TweakInt32& bound) { return ImGui::InputInt(label, bound.value); },
            [label](const TweakFloat& bound) {
                // A hundredth of the value per pixel dragged, so that 0.5 and 400 both move usefully.
                return ImGui::DragFloat(label, bound.value, std::max(0.001f, std::fabs(*bound.value) * 0.01f));
            },
            [label](const TweakDirection& bound) { return ImGui::DragFloat3(label, bound.xyz, 0.05f); },
            [label](const TweakColor& bound) {
                // Light colours may exceed 1 (a specular of 10).
                return ImGui::ColorEdit4(label, bound.rgba, ImGuiColorEditFlags_Float | ImGuiColorEditFlags_HDR);
            },
            [label](const TweakChoice& bound) {
                const std::optional<std::size_t> chosen = bound.Chosen();
                char unlisted[16];
                std::snprintf(unlisted, sizeof unlisted, "%d", *bound.value);
                const auto& values = bound.type->Values();
                bool changed = false;
                if (ImGui::BeginCombo(label, chosen ? values[*chosen].label.c_str() : unlisted)) {
                    for (std::size_t item = 0; item < values.size(); ++item) {
                        if (ImGui::Selectable(values[item].label.c_str(), chosen == item)) {
                            bound.Choose(item);
                            changed = true;
                        }
                    }
                    ImGui::EndCombo();
                }
                return changed;
            },
            [label](const TweakVector& bound) {
                return ImGui::DragScalarN(label, ImGuiDataType_Float, bound.values, bound.components, 0.01f);
            },
        },
        variable.binding);
}

constexpr std::array<const char*, keyInterpolationCount> interpolationNames{"step", "linear", "smooth", "ramp"};
constexpr int beatsPerBar = 4;

// An edit of a value changes the keys its tracks have at the row.
void ChangeKeysAt(const TweakVariable& variable, std::span<SyncTrack* const> tracks, int row)
{
    for (std::size_t component = 0; component < tracks.size(); ++component) {
        if (const TrackKey* key = tracks[component]->KeyAt(row)) {
            tracks[component]->SetKey({row, ComponentValue(variable.binding, component), key->interpolation});
        }
    }
}

// The segments the row lies in, of each track, move by the interpolation.
void SetInterpolation(std::span<SyncTrack* const> tracks, int row, KeyInterpolation interpolation)
{
    for (SyncTrack* track : tracks) {
        if (const TrackKey* segment = track->SegmentKeyAt(row)) {
            track->SetKey({segment->row, segment->value, interpolation});
        }
    }
}

// How a new key at the row moves on: as the segment it falls in, linearly
// before the first key.
KeyInterpolation InterpolationAt(const SyncTrack& track, int row)
{
    const TrackKey* segment = track.SegmentKeyAt(row);
    return segment != nullptr ? segment->interpolation : KeyInterpolation::Linear;
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
    : window(window), effects(effects)
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

void TweakPanel::EditTracks(ShowSync& showSync, const std::optional<TweakTracks>& bindings)
{
    sync = &showSync;
    tweaks = &bindings;
}

void TweakPanel::Draw(std::uint32_t time, float beat)
{
    const bool noticed = (notice != nullptr && !notice->empty()) || (endNote != nullptr && !endNote->empty()) ||
                         (sync != nullptr && !sync->SaveFailure().empty());
    if (!session || (!visible && !noticed)) {
        return;
    }
    const SavedGlState saved;
    session->BeginFrame();
    if (noticed) {
        DrawNotices();
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

    const double row = sync != nullptr ? sync->Tracks().RowAt(time) : 0.0;
    if (sync != nullptr) {
        DrawTracksLine(row);
    }
    bool anyActive = false;
    for (const auto& effect : effects) {
        if (effect->IsActiveAt(time) && effect->tweakBar != nullptr) {
            anyActive = true;
            DrawSection(*effect, row);
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

void TweakPanel::DrawSection(const Effekt& effect, double row)
{
    ImGui::PushID(&effect);
    if (ImGui::CollapsingHeader(effect.tweakBar->Title().c_str(), ImGuiTreeNodeFlags_DefaultOpen)) {
        ImGui::TextDisabled("%u to %u ms", static_cast<unsigned>(effect.startTime), static_cast<unsigned>(effect.endTime));
        const int keyRow = static_cast<int>(std::floor(row));
        const auto& variables = effect.tweakBar->Variables();
        for (std::size_t index = 0; index < variables.size(); ++index) {
            ImGui::PushID(static_cast<int>(index));
            const TweakVariable& variable = variables[index];
            const std::span<SyncTrack* const> tracks =
                tweaks != nullptr && tweaks->has_value() ? (*tweaks)->TracksOf(variable) : std::span<SyncTrack* const>();
            if (!tracks.empty()) {
                DrawKeyButton(variable, tracks, keyRow);
                ImGui::SameLine();
            }
            if (DrawVariable(variable)) {
                ChangeKeysAt(variable, tracks, keyRow);
            }
            if (!tracks.empty() && variable.trackName == selectedName) {
                DrawKeyControls(variable, tracks, keyRow);
            }
            ImGui::PopID();
        }
    }
    ImGui::PopID();
}

// A button before the value's widget: "K" on a green ground when its
// tracks have a key at the row, "k" when they have keys elsewhere, "-" when
// none; it selects the value, and its tooltip names the tracks.
void TweakPanel::DrawKeyButton(const TweakVariable& variable, std::span<SyncTrack* const> tracks, int row)
{
    const bool keyHere = std::any_of(tracks.begin(), tracks.end(), [row](const SyncTrack* track) { return track->KeyAt(row) != nullptr; });
    const bool keyed = std::any_of(tracks.begin(), tracks.end(), [](const SyncTrack* track) { return track->HasKeys(); });
    const bool selected = variable.trackName == selectedName;
    ImGui::PushStyleColor(ImGuiCol_Button, keyHere ? ImVec4(0.15f, 0.55f, 0.25f, 1.0f)
                                           : selected ? ImVec4(0.35f, 0.35f, 0.55f, 1.0f)
                                                      : ImVec4(0.2f, 0.2f, 0.25f, 1.0f));
    ImGui::PushStyleColor(ImGuiCol_Text, keyed ? ImVec4(1.0f, 0.85f, 0.3f, 1.0f) : ImVec4(0.6f, 0.6f, 0.6f, 1.0f));
    if (ImGui::SmallButton(keyHere ? "K" : keyed ? "k" : "-")) {
        if (selected) {
            selectedName.clear();
            selectedTracks.clear();
        } else {
            selectedName = variable.trackName;
            selectedTracks.assign(tracks.begin(), tracks.end());
        }
    }
    ImGui::PopStyleColor(2);
    if (ImGui::IsItemHovered()) {
        ImGui::BeginTooltip();
        for (std::size_t component = 0; component < tracks.size(); ++component) {
            const SyncTrack& track = *tracks[component];
            if (track.HasKeys()) {
                ImGui::Text("%s: %zu keys", track.Name().c_str(), track.Keys().size());
            } else {
                ImGui::TextDisabled("%s: no keys", track.Name().c_str());
            }
        }
        ImGui::TextDisabled("Click to select it for keying");
        ImGui::EndTooltip();
    }
}

// Under the selected value: set or delete its keys at the row, choose the
// interpolation of the segment the row lies in, go to the previous or next key.
void TweakPanel::DrawKeyControls(const TweakVariable& variable, std::span<SyncTrack* const> tracks, int row)
{
    ImGui::Indent();
    if (ImGui::SmallButton("Set key")) {
        for (std::size_t component = 0; component < tracks.size(); ++component) {
            tracks[component]->SetKey({row, ComponentValue(variable.binding, component), InterpolationAt(*tracks[component], row)});
        }
    }
    ImGui::SameLine();
    if (ImGui::SmallButton("Delete key")) {
        for (SyncTrack* track : tracks) {
            track->DeleteKey(row);
        }
    }
    const TrackKey* segment = nullptr;
    for (const SyncTrack* track : tracks) {
        segment = segment != nullptr ? segment : track->SegmentKeyAt(row);
    }
    if (segment != nullptr) {
        ImGui::SameLine();
        ImGui::SetNextItemWidth(ImGui::GetFontSize() * 5.0f);
        if (ImGui::BeginCombo("##interpolation", interpolationNames[static_cast<std::size_t>(segment->interpolation)])) {
            for (std::size_t item = 0; item < interpolationNames.size(); ++item) {
                if (ImGui::Selectable(interpolationNames[item], static_cast<std::size_t>(segment->interpolation) == item)) {
                    SetInterpolation(tracks, row, static_cast<KeyInterpolation>(item));
                }
            }
            ImGui::EndCombo();
        }
    }
    std::optional<int> previous;
    std::optional<int> next;
    for (const SyncTrack* track : tracks) {
        const std::optional<int> before = track->PreviousKeyRow(row);
        const std::optional<int> after = track->NextKeyRow(row);
        if (before && (!previous || *before > *previous)) {
            previous = before;
        }
        if (after && (!next || *after < *next)) {
            next = after;
        }
    }
    ImGui::SameLine();
    if (ImGui::SmallButton("<") && previous) {
        SeekToRow(*previous);
    }
    ImGui::SameLine();
    if (ImGui::SmallButton(">") && next) {
        SeekToRow(*next);
    }
    ImGui::Unindent();
}

void TweakPanel::SeekToRow(int row)
{
    if (timeControls != nullptr) {
        timeControls->RequestSeek(sync->SeekSeconds(row));
    }
}

// The row, the tempo (editable) or the module's place, the grid, and where
// Ctrl+S saves.
void TweakPanel::DrawTracksLine(double row)
{
    SyncTempo& tempo = sync->Tracks().tempo;
    const int keyRow = static_cast<int>(std::floor(row));
    if (tempo.moduleRows != nullptr && !tempo.moduleRows->Empty()) {
        ImGui::Checkbox("Module rows", &tempo.moduleGrid);
        ImGui::SameLine();
    }
    if (tempo.OnModuleRows()) {
        const std::size_t played = std::min(static_cast<std::size_t>(std::max(keyRow, 0)), tempo.moduleRows->Count() - 1);
        const PlayedRow& place = tempo.moduleRows->At(played);
        ImGui::Text("Row %d: order %d, pattern %d, row %d", keyRow, place.order, place.pattern, place.row);
    } else {
        DrawTempo(keyRow);
    }
    if (ImGui::SmallButton("Save (Ctrl+S)")) {
        sync->Save();
    }
    ImGui::SameLine();
    ImGui::TextDisabled("to %s", sync->File().c_str());
}

// The row as beat and bar, and the tempo, editable.
void TweakPanel::DrawTempo(int keyRow)
{
    SyncTempo& tempo = sync->Tracks().tempo;
    const int beat = keyRow / tempo.rowsPerBeat;
    ImGui::Text("Row %d, beat %d, bar %d", keyRow, beat % beatsPerBar + 1, beat / beatsPerBar + 1);
    ImGui::SameLine();
    double beatsPerMinute = tempo.beatsPerMinute;
    ImGui::SetNextItemWidth(ImGui::GetFontSize() * 4.0f);
    if (ImGui::InputDouble("BPM", &beatsPerMinute, 0.0, 0.0, "%.2f", ImGuiInputTextFlags_EnterReturnsTrue) &&
        std::isfinite(beatsPerMinute) && beatsPerMinute >= 1.0 && beatsPerMinute <= 1000.0) {
        tempo.beatsPerMinute = beatsPerMinute;
    }
    ImGui::SameLine();
    int rowsPerBeat = tempo.rowsPerBeat;
    ImGui::SetNextItemWidth(ImGui::GetFontSize() * 5.0f);
    if (ImGui::InputInt("rows a beat", &rowsPerBeat) && rowsPerBeat >= 1 && rowsPerBeat <= 64) {
        tempo.rowsPerBeat = rowsPerBeat;
    }
}

void TweakPanel::DrawNotices()
{
    const ImGuiIO& io = ImGui::GetIO();
    float bottom = io.DisplaySize.y - 10.0f;
    const ImVec4 failure(0.35f, 0.05f, 0.05f, 0.92f);
    const auto box = [&](const char* title, const std::string& text, const char* footnote, const ImVec4& colour) {
        ImGui::SetNextWindowPos(ImVec2(10.0f, bottom), ImGuiCond_Always, ImVec2(0.0f, 1.0f));
        ImGui::SetNextWindowSizeConstraints(ImVec2(0.0f, 0.0f), ImVec2(io.DisplaySize.x - 20.0f, io.DisplaySize.y * 0.4f));
        ImGui::PushStyleColor(ImGuiCol_WindowBg, colour);
        ImGui::Begin(title, nullptr,
                     ImGuiWindowFlags_AlwaysAutoResize | ImGuiWindowFlags_NoCollapse | ImGuiWindowFlags_NoFocusOnAppearing |
                         ImGuiWindowFlags_NoNav | ImGuiWindowFlags_NoMove);
        ImGui::PushTextWrapPos(io.DisplaySize.x - 40.0f);
        ImGui::TextUnformatted(text.c_str());
        ImGui::PopTextWrapPos();
        if (footnote[0] != '\0') {
            ImGui::TextDisabled("%s", footnote);
        }
        bottom -= ImGui::GetWindowHeight() + 6.0f;
        ImGui::End();
        ImGui::PopStyleColor();
    };
    if (notice != nullptr && !notice->empty()) {
        box("The show was not rebuilt", *notice, "The last good show plays on until the next rebuild succeeds.", failure);
    }
    if (sync != nullptr && !sync->SaveFailure().empty()) {
        box("The tracks were not saved", sync->SaveFailure(), "The keys are kept; Ctrl+S tries again.", failure);
    }
    if (endNote != nullptr && !endNote->empty()) {
        box("End of show", *endNote, "", ImVec4(0.05f, 0.2f, 0.27f, 0.92f));
    }
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
    if (sync != nullptr) {
        DrawTimelineTracks(left, origin.y, y);
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
    if (sync != nullptr) {
        // The same box, under the name of what it shows; the label is the
        // box's ImGui identity, which ###grid keeps the same.
        ImGui::Checkbox(sync->Tracks().tempo.OnModuleRows() ? "Pattern starts###grid" : "Beats and bars###grid", &showGrid);
        if (!selectedName.empty()) {
            ImGui::SameLine();
            ImGui::TextDisabled("   keys of %s marked", selectedName.c_str());
        }
    }
}

// A line where each pattern starts to play, every one where they are apart
// enough to tell, else every second, fourth and so on.
void TweakPanel::DrawPatternStarts(const ModuleRows& rows, const std::function<float(double)>& xOf, float top,
                                   float bottom) const
{
    ImDrawList& draw = *ImGui::GetWindowDrawList();
    constexpr float closest = 4.0f;
    int starts = 0;
    float lastX = -closest;
    for (std::size_t n = 0; n < rows.Count(); ++n) {
        if (rows.At(n).row != 0) {
            continue;
        }
        const float x = xOf(rows.MillisecondsAt(static_cast<double>(n)));
        if (x - lastX >= closest) {
            draw.AddLine(ImVec2(x, top), ImVec2(x, bottom), starts % 4 == 0 ? IM_COL32(255, 255, 255, 48) : IM_COL32(255, 255, 255, 20));
            lastX = x;
        }
        ++starts;
    }
}

// Over the entries: the row grid (bars, and beats where they are apart
// enough to see; a module's pattern starts on its rows), and a tick at
// each key of the selected value.
void TweakPanel::DrawTimelineTracks(float left, float top, float bottom)
{
    ImDrawList& draw = *ImGui::GetWindowDrawList();
    const SyncTempo& tempo = sync->Tracks().tempo;
    const double musicMilliseconds = musicSeconds * 1000.0;
    const auto xOf = [&](double milliseconds) {
        return left + static_cast<float>(milliseconds / musicMilliseconds) * timelineBarsWidth;
    };
    if (showGrid && tempo.OnModuleRows()) {
        DrawPatternStarts(*tempo.moduleRows, xOf, top, bottom);
    } else if (showGrid) {
        constexpr float closest = 4.0f;  // pixels between lines, below which they would be a grey blur
        const double beatMilliseconds = 60000.0 / tempo.beatsPerMinute;
        const float beatPixels = static_cast<float>(beatMilliseconds / musicMilliseconds) * timelineBarsWidth;
        // Beats, else bars, else every fourth bar and so on: as fine as can be told apart.
        int step = 1;
        constexpr int coarsest = 1 << 24;
        while (beatPixels * static_cast<float>(step) < closest && step < coarsest) {
            step *= step == 1 ? beatsPerBar : 4;
        }
        for (int beat = 0; beat * beatMilliseconds <= musicMilliseconds; beat += step) {
            const float x = xOf(beat * beatMilliseconds);
            const ImU32 colour = beat % (step * 4) == 0 ? IM_COL32(255, 255, 255, 48) : IM_COL32(255, 255, 255, 20);
            draw.AddLine(ImVec2(x, top), ImVec2(x, bottom), colour);
        }
    }
    for (const SyncTrack* track : selectedTracks) {
        for (const TrackKey& key : track->Keys()) {
            const float x = xOf(tempo.StartOfRow(key.row));
            draw.AddTriangleFilled(ImVec2(x - 3.0f, top), ImVec2(x + 3.0f, top), ImVec2(x, top + 6.0f),
                                   IM_COL32(255, 215, 80, 255));
            draw.AddLine(ImVec2(x, top), ImVec2(x, bottom), IM_COL32(255, 215, 80, 70));
        }
    }
}
