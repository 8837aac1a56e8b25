// The heading and distance arithmetic that giraffes and lions share, in
// 32-bit float with every intermediate rounded to 32 bits.
#pragma once

// The whole-degree direction (0 right, 90 up the screen, -270 to 270) from a
// point to another dx to the right and dy higher up. Returns false, leaving
// `heading` as it is, when the direction is undefined (dx = dy = 0).
bool AimHeading(float dx, float dy, int* heading);

// The distance between two points, as a 32-bit float.
float Distance(float x0, float y0, float x1, float y1);
