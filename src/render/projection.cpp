#include "render/projection.h"

void ProjectPoint(double x, double y, double z, float* sx, float* sy) {
  const RenderContext& r = g_render;
  const double depth = z == 0.0 ? -1.0 : z;
  const double k = r.focal_length / depth;
  *sx = (float)((k * x + r.cx) * r.scale_x);
  *sy = (float)((k * y + r.cy) * r.scale_y);
}

void ProjectVertex(RenderVertex* corner) { ProjectPoint(corner->x, corner->y, corner->z, &corner->sx, &corner->sy); }
