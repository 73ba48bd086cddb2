#pragma once

#include <initializer_list>
#include <vector>

#include "picture/Color.h"

// Colours at positions along 0..1 with smooth blends between them: the
// gradients of skies, water and sun discs.
class ColorRamp {
public:
    struct Stop {
        float position;
        Color color;
    };

    // The stops must be given in increasing position.
    ColorRamp(std::initializer_list<Stop> stops);

    // The first stop's colour before it, the last one's after it.
    Color At(float position) const;

private:
    std::vector<Stop> stops;
};
