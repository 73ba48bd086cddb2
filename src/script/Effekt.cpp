#include "script/Effekt.h"

Effekt::Effekt(std::uint32_t startTime, std::uint32_t endTime) : endTime(endTime), startTime(startTime) {}

Effekt::~Effekt() = default;

void Effekt::RegisterTweaks() {}
