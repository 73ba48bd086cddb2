#include "picture/ColorRamp.h"

#include <stdexcept>

#include "picture/Shapes.h"

ColorRamp::ColorRamp(std::initializer_list<Stop> stops) : stops(stops)
{
    if (this->stops.empty()) {
        throw std::invalid_argument("A colour ramp needs a stop");
    }
    for (std::size_t i = 1; i < this->stops.size(); ++i) {
        if (this->stops[i].position <= this->stops[i - 1].position) {
            throw std::invalid_argument("Colour ramp stops must increase");
        }
    }
}

Color ColorRamp::At(float position) const
{
    if (position <= stops.front().position) {
        return stops.front().color;
    }
    for (std::size_t i = 1; i < stops.size(); ++i) {
        if (position < stops[i].position) {
            const Stop& from = stops[i - 1];
            const Stop& to = stops[i];
            return Mix(from.color, to.color, Shapes::SmoothStep(from.position, to.position, position));
        }
    }
    return stops.back().color;
}
