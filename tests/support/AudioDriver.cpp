#include "support/AudioDriver.h"

#include <cstdlib>

namespace {
constexpr const char* variable = "SDL_AUDIODRIVER";
}

AudioDriver::AudioDriver(const std::string& name)
{
    if (const char* value = std::getenv(variable)) {
        previous = value;
    }
    setenv(variable, name.c_str(), 1);
}

AudioDriver::~AudioDriver()
{
    if (previous) {
        setenv(variable, previous->c_str(), 1);
    } else {
        unsetenv(variable);
    }
}
