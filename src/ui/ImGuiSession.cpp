#include "ui/ImGuiSession.h"

#include <backends/imgui_impl_opengl2.h>
#include <backends/imgui_impl_sdl.h>
#include <imgui.h>

#include <filesystem>

namespace {

constexpr const char* interfaceFontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

}  // namespace

ImGuiSession::ImGuiSession(SDL_Window* window, SDL_GLContext glContext, float fontPixels)
    : context(ImGui::CreateContext())
{
    ImGui::SetCurrentContext(context);
    ImGuiIO& io = ImGui::GetIO();
    io.IniFilename = nullptr;
    io.LogFilename = nullptr;

    std::error_code error;
    if (std::filesystem::is_regular_file(interfaceFontFile, error)) {
        font = io.Fonts->AddFontFromFileTTF(interfaceFontFile, fontPixels);
    }
    if (font == nullptr) {
        font = io.Fonts->AddFontDefault();
    }
    io.Fonts->Build();

    ImGui_ImplSDL2_InitForOpenGL(window, glContext);
    ImGui_ImplOpenGL2_Init();
}

ImGuiSession::~ImGuiSession()
{
    ImGui::SetCurrentContext(context);
    ImGui_ImplOpenGL2_Shutdown();
    ImGui_ImplSDL2_Shutdown();
    ImGui::DestroyContext(context);
}

void ImGuiSession::ProcessEvent(const SDL_Event& event)
{
    ImGui::SetCurrentContext(context);
    ImGui_ImplSDL2_ProcessEvent(&event);
}

void ImGuiSession::BeginFrame()
{
    ImGui::SetCurrentContext(context);
    ImGui_ImplOpenGL2_NewFrame();
    ImGui_ImplSDL2_NewFrame();
    ImGui::NewFrame();
}

void ImGuiSession::EndFrame()
{
    ImGui::Render();
    ImGui_ImplOpenGL2_RenderDrawData(ImGui::GetDrawData());
}

bool ImGuiSession::WantsTextInput() const
{
    ImGui::SetCurrentContext(context);
    return ImGui::GetIO().WantTextInput;
}
