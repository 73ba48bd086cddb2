#include "ui/SetupForm.h"

SetupForm::SetupForm(const DisplaySettings& settings, ResolutionList resolutions)
    : resolutions(std::move(resolutions)),
      selection(this->resolutions.LastIndexOf({settings.width, settings.height})),
      fullscreen(!settings.windowed),
      verticalSync(settings.verticalSync),
      multisampling(settings.multisampling)
{
}

void SetupForm::Select(std::size_t item)
{
    if (item < resolutions.Size()) {
        selection = item;
    }
}

void SetupForm::SetFullscreen(bool checked)
{
    fullscreen = checked;
    if (checked) {
        alwaysOnTop = false;
    }
}

void SetupForm::SetAlwaysOnTop(bool checked)
{
    if (AlwaysOnTopEnabled()) {
        alwaysOnTop = checked;
    }
}

void SetupForm::ApplyTo(DisplaySettings& settings) const
{
    if (selection) {
        settings.width = resolutions[*selection].width;
        settings.height = resolutions[*selection].height;
    }
    settings.windowed = !fullscreen;
    settings.alwaysOnTop = alwaysOnTop;
    settings.verticalSync = verticalSync;
    settings.multisampling = multisampling;
}
