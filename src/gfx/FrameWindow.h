#pragma once

// What the toolkit and the script loader need of the display window: show
// the frame just drawn and take in the events that arrived meanwhile. The
// SDL window implements it; tests substitute their own.
class FrameWindow {
public:
    virtual ~FrameWindow() = default;

    // May throw a DemoMessage (the viewer closed the window).
    virtual void SwapAndPoll() = 0;
};
