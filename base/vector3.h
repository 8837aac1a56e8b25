/// @file
/// Three 32-bit floats: screen pixels for sprites (x right, y down), world
/// units for meshes.
#pragma once

struct Vector3 {
    Vector3() : x(0), y(0), z(0) {}
    Vector3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}
    float x;
    float y;
    float z;
};
