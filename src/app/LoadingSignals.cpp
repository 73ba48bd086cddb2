#include "app/LoadingSignals.h"

LoadingSignals::LoadingSignals()
{
    struct sigaction ending {};
    ending.sa_handler = SIG_DFL;
    sigemptyset(&ending.sa_mask);
    sigaction(SIGINT, &ending, &interrupt);
    sigaction(SIGTERM, &ending, &terminate);
}

LoadingSignals::~LoadingSignals()
{
    sigaction(SIGINT, &interrupt, nullptr);
    sigaction(SIGTERM, &terminate, nullptr);
}
