// Perspective projection: a camera-space point to the screen, with the render context's
// focal length, projection centre and scale.
#pragma once

#include "render/render_context.h"

// sx, sy of a camera-space point or corner (z of exactly 0 projects as z = -1).
void ProjectPoint(double x, double y, double z, float* sx, float* sy);
void ProjectVertex(RenderVertex* corner);
