#include "game/aim.h"

#include <cmath>

bool AimHeading(float dx, float dy, int* heading) {
    const float r = dy / dx;
    float a = std::atan(r);
    // Angles with no direction (0 / 0) are NaN; converting one to an integer
    // would be undefined, so the old heading stays.
    if (std::isnan(a)) return false;
    a = static_cast<float>(a / 6.2831854820251465);
    a = static_cast<float>(a * 360.0);
    if (dx < 0) a = static_cast<float>(dy < 0 ? a + 180.0 : a - 180.0);
    *heading = static_cast<int>(a);
    return true;
}

float Distance(float x0, float y0, float x1, float y1) {
    const float dx = x1 - x0;
    const float dy = y1 - y0;
    return std::sqrt(dx * dx + dy * dy);
}
