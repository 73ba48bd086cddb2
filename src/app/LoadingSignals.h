#pragma once

#include <signal.h>

// While the show loads, Ctrl+C and SIGTERM end the program at once, with
// the status any program has when they end it. SDL turns them into a quit
// that only the frame loop would see, so a load that waits (on a slow disk,
// a plug-in, the music's decoding) could not be stopped. Nothing is left
// half written: the debug output is flushed as it is written, and the
// show's own files are only written once it plays.
class LoadingSignals {
public:
    LoadingSignals();
    // SDL's handling again, for the show that plays.
    ~LoadingSignals();
    LoadingSignals(const LoadingSignals&) = delete;
    LoadingSignals& operator=(const LoadingSignals&) = delete;

private:
    struct sigaction interrupt {};
    struct sigaction terminate {};
};
