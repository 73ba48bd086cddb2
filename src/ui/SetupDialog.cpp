#include "ui/SetupDialog.h"

#include <GL/gl.h>
#include <imgui.h>

#include <algorithm>
#include <cfloat>
#include <vector>

#include "core/DebugOutput.h"
#include "core/DemoMessage.h"

namespace {

// The form's layout in dialog units: a quarter of the font's average
// character width across, an eighth of its line height down.
struct UnitRect {
    float x, y, width, height;
};

constexpr float formWidth = 186.0f;
constexpr float formHeight = 111.0f;
constexpr UnitRect bannerText{5, 8, 175, 10};
constexpr UnitRect runButton{7, 90, 50, 14};
constexpr UnitRect cancelButton{128, 90, 50, 14};
constexpr UnitRect resolutionText{20, 22, 65, 10};
constexpr UnitRect fullscreenText{20, 36, 65, 10};
constexpr UnitRect alwaysOnTopText{20, 49, 65, 10};
constexpr UnitRect verticalSyncText{20, 63, 65, 10};
constexpr UnitRect multisamplingText{25, 76, 60, 10};
constexpr float controlLeft = 95.0f;
constexpr float listWidth = 75.0f;
constexpr float droppedListHeight = 125.0f;

constexpr float fontPixels = 13.0f;
constexpr Uint32 idleWaitMilliseconds = 100;

std::vector<DisplayMode> PrimaryDisplayModes()
{
    std::vector<DisplayMode> modes;
    SDL_DisplayMode mode;
    for (int index = 0; SDL_GetDisplayMode(0, index, &mode) == 0; ++index) {
        modes.push_back({mode.w, mode.h, ColourDepth(SDL_BITSPERPIXEL(mode.format), SDL_BYTESPERPIXEL(mode.format))});
    }
    return modes;
}

[[noreturn]] void ThrowSdlError()
{
    throw DemoMessage(FormatText("Error: %s\n", SDL_GetError()));
}

// A frame around the control just submitted, where the keyboard acts.
void MarkFocus(bool focused)
{
    if (focused) {
        const float margin = 2.0f;
        const ImVec2 min = ImGui::GetItemRectMin();
        const ImVec2 max = ImGui::GetItemRectMax();
        ImGui::GetWindowDrawList()->AddRect(ImVec2(min.x - margin, min.y - margin), ImVec2(max.x + margin, max.y + margin),
                                            ImGui::GetColorU32(ImGuiCol_NavHighlight), 2.0f, 0, 1.0f);
    }
}

}  // namespace

SdlVideo::SdlVideo()
{
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        ThrowSdlError();
    }
}

SdlVideo::~SdlVideo()
{
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

SetupDialog::SetupDialog(const DisplaySettings& settings)
    : form(settings, ResolutionList(PrimaryDisplayModes(), settings.bitsPerPixel, {settings.width, settings.height}))
{
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    // Sized once the font is known: opened hidden, shown when measured.
    window.reset(SDL_CreateWindow("Video setup", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 320, 200,
                                  SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN));
    if (!window) {
        ThrowSdlError();
    }
    glContext.reset(SDL_GL_CreateContext(window.get()));
    if (!glContext) {
        ThrowSdlError();
    }
    SDL_GL_SetSwapInterval(1);
    session.emplace(window.get(), glContext.get(), fontPixels);

    // Dialog units as a desktop derives them from the dialog's font.
    const ImFont& font = session->Font();
    const char* alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    const float averageWidth = font.CalcTextSizeA(font.FontSize, FLT_MAX, 0.0f, alphabet).x / 52.0f;
    unitX = averageWidth / 4.0f;
    unitY = font.FontSize / 8.0f;

    ImGui::StyleColorsLight();
    ImGuiStyle& style = ImGui::GetStyle();
    style.WindowPadding = ImVec2(0.0f, 0.0f);
    style.WindowBorderSize = 0.0f;
    style.FramePadding = ImVec2(4.0f, 1.0f);
    style.FrameBorderSize = 1.0f;
    style.FrameRounding = 2.0f;
    style.PopupBorderSize = 1.0f;

    SDL_SetWindowSize(window.get(), static_cast<int>(formWidth * unitX + 0.5f), static_cast<int>(formHeight * unitY + 0.5f));
    SDL_SetWindowPosition(window.get(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    SDL_ShowWindow(window.get());
    SDL_RaiseWindow(window.get());
}

SetupDialog::~SetupDialog()
{
    SDL_GL_MakeCurrent(window.get(), glContext.get());
    session.reset();
}

void SetupDialog::RunFrame()
{
    SDL_Event event;
    while (form.GetResult() == SetupForm::Result::Open && SDL_PollEvent(&event)) {
        HandleEvent(event);
    }
    if (form.GetResult() != SetupForm::Result::Open) {
        return;
    }

    SDL_GL_MakeCurrent(window.get(), glContext.get());
    int width = 0;
    int height = 0;
    SDL_GL_GetDrawableSize(window.get(), &width, &height);
    glViewport(0, 0, width, height);
    const ImVec4 background = ImGui::GetStyle().Colors[ImGuiCol_WindowBg];
    glClearColor(background.x, background.y, background.z, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    session->BeginFrame();
    Draw();
    session->EndFrame();
    SDL_GL_SwapWindow(window.get());
}

void SetupDialog::WaitForInput() const
{
    SDL_WaitEventTimeout(nullptr, idleWaitMilliseconds);
}

void SetupDialog::HandleEvent(const SDL_Event& event)
{
    switch (event.type) {
    case SDL_QUIT: form.PressCancel(); break;
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
            form.PressCancel();
        } else {
            session->ProcessEvent(event);
        }
        break;
    case SDL_KEYDOWN: HandleKey(event.key); break;
    case SDL_KEYUP:
    case SDL_TEXTINPUT:
    case SDL_TEXTEDITING: break;  // the form has no text to edit
    default: session->ProcessEvent(event); break;
    }
}

void SetupDialog::HandleKey(const SDL_KeyboardEvent& key)
{
    // Held keys repeat only where that moves something.
    const bool repeated = key.repeat != 0;
    switch (key.keysym.sym) {
    case SDLK_TAB: keyboard.Press((key.keysym.mod & KMOD_SHIFT) != 0 ? DialogKey::BackTab : DialogKey::Tab); break;
    case SDLK_UP: keyboard.Press(DialogKey::Up); break;
    case SDLK_DOWN: keyboard.Press(DialogKey::Down); break;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        if (!repeated) {
            keyboard.Press(DialogKey::Enter);
        }
        break;
    case SDLK_ESCAPE:
        if (!repeated) {
            keyboard.Press(DialogKey::Escape);
        }
        break;
    case SDLK_SPACE:
        if (!repeated) {
            keyboard.Press(DialogKey::Space);
        }
        break;
    default: break;
    }
}

void SetupDialog::Draw()
{
    const ImGuiIO& io = ImGui::GetIO();
    ImGui::SetNextWindowPos(ImVec2(0.0f, 0.0f));
    ImGui::SetNextWindowSize(io.DisplaySize);
    ImGui::Begin("Video setup", nullptr,
                 ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoSavedSettings |
                     ImGuiWindowFlags_NoBringToFrontOnFocus | ImGuiWindowFlags_NoScrollWithMouse);

    const float lineHeight = ImGui::GetTextLineHeight();
    const float frameHeight = ImGui::GetFrameHeight();
    const auto centreOf = [&](const UnitRect& rect) { return (rect.y + rect.height * 0.5f) * unitY; };
    const auto label = [&](const UnitRect& rect, const char* text, bool centred) {
        const float width = ImGui::CalcTextSize(text).x;
        const float left =
            centred ? (rect.x + rect.width * 0.5f) * unitX - width * 0.5f : (rect.x + rect.width) * unitX - width;
        ImGui::SetCursorPos(ImVec2(left, centreOf(rect) - lineHeight * 0.5f));
        ImGui::TextUnformatted(text);
    };
    const auto button = [&](const UnitRect& rect, const char* text, SetupControl control) {
        ImGui::SetCursorPos(ImVec2(rect.x * unitX, rect.y * unitY));
        if (ImGui::Button(text, ImVec2(rect.width * unitX, rect.height * unitY))) {
            keyboard.FocusOn(control);
            if (control == SetupControl::Run) {
                form.PressRun();
            } else {
                form.PressCancel();
            }
        }
        MarkFocus(keyboard.Focus() == control);
    };
    const auto checkBox = [&](const UnitRect& row, const char* id, SetupControl control, bool checked, auto&& set) {
        ImGui::SetCursorPos(ImVec2(controlLeft * unitX, centreOf(row) - frameHeight * 0.5f));
        if (ImGui::Checkbox(id, &checked)) {
            keyboard.FocusOn(control);
            set(checked);
        }
        MarkFocus(keyboard.Focus() == control);
    };

    label(bannerText, "K E S T R O V A", true);

    // Submitted in tab order; Run is the default button and shows it.
    ImGui::PushStyleVar(ImGuiStyleVar_FrameBorderSize, 2.0f);
    ImGui::PushStyleColor(ImGuiCol_Border, ImGui::GetStyleColorVec4(ImGuiCol_ButtonActive));
    button(runButton, "Run", SetupControl::Run);
    ImGui::PopStyleColor();
    ImGui::PopStyleVar();
    button(cancelButton, "Cancel", SetupControl::Cancel);

    label(resolutionText, "Resolution:", false);
    ImGui::SetCursorPos(ImVec2(controlLeft * unitX, centreOf(resolutionText) - frameHeight * 0.5f));
    DrawResolutionList();

    label(fullscreenText, "Fullscreen:", false);
    checkBox(fullscreenText, "##fullscreen", SetupControl::Fullscreen, form.Fullscreen(),
             [&](bool checked) { form.SetFullscreen(checked); });
    label(alwaysOnTopText, "Always on top:", false);
    ImGui::BeginDisabled(!form.AlwaysOnTopEnabled());
    checkBox(alwaysOnTopText, "##alwaysOnTop", SetupControl::AlwaysOnTop, form.AlwaysOnTop(),
             [&](bool checked) { form.SetAlwaysOnTop(checked); });
    ImGui::EndDisabled();
    label(verticalSyncText, "Vertical sync:", false);
    checkBox(verticalSyncText, "##verticalSync", SetupControl::VerticalSync, form.VerticalSync(),
             [&](bool checked) { form.SetVerticalSync(checked); });
    label(multisamplingText, "Multisampling:", false);
    checkBox(multisamplingText, "##multisampling", SetupControl::Multisampling, form.Multisampling(),
             [&](bool checked) { form.SetMultisampling(checked); });

    ImGui::End();
}

void SetupDialog::DrawResolutionList()
{
    const std::vector<std::string>& items = form.Resolutions().Items();
    const std::optional<std::size_t> selection = form.Selection();
    const float listTop = ImGui::GetCursorScreenPos().y + ImGui::GetFrameHeight();
    // Dropped, the list reaches down to the layout's list height, within the window.
    const float listHeight =
        std::min(droppedListHeight * unitY - ImGui::GetFrameHeight(), ImGui::GetIO().DisplaySize.y - listTop - 2.0f);
    ImGui::SetNextItemWidth(listWidth * unitX);
    ImGui::SetNextWindowSizeConstraints(ImVec2(0.0f, 0.0f), ImVec2(FLT_MAX, listHeight));
    const bool open = ImGui::BeginCombo("##resolution", selection ? items[*selection].c_str() : "");
    if (!open) {
        MarkFocus(keyboard.Focus() == SetupControl::Resolution);
        if (listWasOpen) {
            keyboard.SetListOpen(false);  // an item was picked or the viewer clicked elsewhere
        }
        listWasOpen = false;
        shownSelection = selection;
        return;
    }
    if (!listWasOpen) {
        keyboard.SetListOpen(true);  // opened with the mouse
    } else if (!keyboard.ListOpen()) {
        ImGui::CloseCurrentPopup();  // closed with Enter, Escape or Tab
    }
    listWasOpen = true;
    for (std::size_t item = 0; item < items.size(); ++item) {
        const bool selected = selection == item;
        if (ImGui::Selectable(items[item].c_str(), selected)) {
            form.Select(item);
        }
        if (selected && (ImGui::IsWindowAppearing() || shownSelection != selection)) {
            ImGui::SetScrollHereY();
        }
    }
    shownSelection = selection;
    ImGui::EndCombo();
}

int RunSetupDialog(DisplaySettings& settings)
{
    try {
        SetupDialog dialog(settings);
        dialog.RunFrame();
        while (dialog.Form().GetResult() == SetupForm::Result::Open) {
            dialog.WaitForInput();
            dialog.RunFrame();
        }
        if (dialog.Form().GetResult() == SetupForm::Result::Cancel) {
            return 0;
        }
        dialog.Form().ApplyTo(settings);
        return 1;
    } catch (const DemoMessage& message) {
        DebugOutput("The video setup dialog cannot be shown: ");
        DebugOutput(message.Text());
        return -1;
    }
}
