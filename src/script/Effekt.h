#pragma once

#include <cstdint>
#include <string>

class TweakBar;

// The base of every visual element of the show. An effect knows its window
// of music time and draws itself when the frame loop asks; it is never told
// that its window opened or closed, and may be drawn again at earlier times
// when the viewer seeks back.
class Effekt {
public:
    Effekt(std::uint32_t startTime, std::uint32_t endTime);
    virtual ~Effekt();

    Effekt(const Effekt&) = delete;
    Effekt& operator=(const Effekt&) = delete;

    // Registers the effect's adjustable variables; most effects have none.
    virtual void RegisterTweaks();

    // time: the frame's music time in milliseconds; beat: its level in [0, 1].
    virtual void Draw(std::uint32_t time, float beat) = 0;

    // The window is open at both ends: startTime < time < endTime, unsigned.
    bool IsActiveAt(std::uint32_t time) const { return startTime < time && time < endTime; }

    std::uint32_t endTime;
    std::uint32_t startTime;
    TweakBar* tweakBar = nullptr;
    std::string name;
};
