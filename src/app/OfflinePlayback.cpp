#include "app/OfflinePlayback.h"

OfflinePlayback::OfflinePlayback(const EffectList& effects, DemoWindow& window, std::shared_ptr<const DecodedMusic> music,
                                 std::uint32_t from, int framesPerSecond, std::optional<float> forcedBeat,
                                 const FrameSources& sources)
    : window(window), music(std::move(music)), loop(effects, window, this->music), start(from / 1000.0),
      framesPerSecond(framesPerSecond)
{
    this->music.Play();
    loop.Use(sources);
    loop.SetFrameStep(1.0 / framesPerSecond);
    if (forcedBeat) {
        loop.ForceBeat(*forcedBeat);
    }
}

void OfflinePlayback::Draw(long frame)
{
    music.SetPosition(start + static_cast<double>(frame) / framesPerSecond);
    loop.DrawFrame();
}
