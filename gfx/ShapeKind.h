#pragma once

// The stock shapes a ShapeMesh can make, numbered as the show numbers them.
enum class ShapeKind : int {
    Cube = 0,
    Sphere = 1,
    Pyramid = 2, // three-sided, height 4/3 of the base radius
    Torus = 3,
    FineSphere = 4,
    Teapot = 5,
};
