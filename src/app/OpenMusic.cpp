#include "app/OpenMusic.h"

#include "app/AudioDeviceStream.h"
#include "core/DebugOutput.h"
#include "core/DemoMessage.h"
#include "music/SilentMusicStream.h"

std::unique_ptr<MusicStream> OpenMusicStream(std::shared_ptr<const DecodedMusic> music)
{
    try {
        return std::make_unique<AudioDeviceStream>(music);
    } catch (const DemoMessage& noDevice) {
        DebugOutput(noDevice.Text() + ": playing on a silent clock\n");
        return std::make_unique<SilentMusicStream>(music);
    }
}
