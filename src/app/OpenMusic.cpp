#include "app/OpenMusic.h"

#include "app/AudioDeviceStream.h"
#include "core/DebugOutput.h"
#include "core/DemoMessage.h"
#include "music/SilentMusicStream.h"

std::unique_ptr<MusicStream> OpenMusicStream(const std::string& path)
{
    const auto music = std::make_shared<const DecodedMusic>(DecodedMusic::Load(path));
    try {
        return std::make_unique<AudioDeviceStream>(music);
    } catch (const DemoMessage& noDevice) {
        DebugOutput(noDevice.Text() + ": playing on a silent clock\n");
        return std::make_unique<SilentMusicStream>(music);
    }
}
