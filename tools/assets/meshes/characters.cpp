// The characters and the prop of the 3D scenes as LWO2 objects: Zibo and his puffed-up
// shape, Mamma, and the heart with its beat. Each is one smooth closed surface (shapes.h)
// whose points carry lightmap coordinates into the character's own skin (skins.h); a morph
// target is the same grid sampled from a second shape, so it keeps the skin where it was.
#include "meshes/shapes.h"
#include "meshes/skins.h"
#include "meshes/surface.h"
#include "pack/content.h"

namespace assets {

namespace {

const SurfaceGrid ZIBO_GRID = {32, 26};
const SurfaceGrid MAMMA_GRID = {40, 30};
const SurfaceGrid HEART_GRID = {32, 32};

LightmapFunction SkinOf(const SkinStrip& strip) {
  return [strip](float s, float angle) { return SkinCoordinates(strip, s, angle); };
}

ContentBytes FishMesh(FishLook look, float puff, SurfaceGrid grid, const SkinStrip& skin, const char* surface) {
  look.puff = puff;
  return SurfaceLwo(grid, [&](float s, float a) { return FishPoint(look, s, a); }, surface, SkinOf(skin));
}

ContentBytes HeartMesh(const HeartLook& look) {
  return SurfaceLwo(HEART_GRID, [&](float s, float a) { return HeartPoint(look, s, a); }, "Heart", SkinOf(HEART_SKIN));
}

}  // namespace

ContentBytes MakeZiboMesh() { return FishMesh(ZIBO, 0.0f, ZIBO_GRID, ZIBO_SKIN, "Zibo"); }
ContentBytes MakeZiboPuffedMesh() { return FishMesh(ZIBO, 1.0f, ZIBO_GRID, ZIBO_SKIN, "Zibo"); }
ContentBytes MakeMammaMesh() { return FishMesh(MAMMA, 0.0f, MAMMA_GRID, MAMMA_SKIN, "Mamma"); }
ContentBytes MakeHeartMesh() { return HeartMesh(HEART); }
ContentBytes MakeBeatingHeartMesh() { return HeartMesh(HEART_BEAT); }

}  // namespace assets
