// Motion applied to scene objects: each frame's evaluation of an object's channels into its
// position, rotation, scale, alpha and field of view, the scene's per-frame update, and a
// motion file taken on by an object. The curves and motion records themselves are geometry
// (geometry/motion.h); writing them into objects is the scene's.
#pragma once

#include "resource/mem_chunk.h"

struct Scene;
struct SceneObject;

// Advances the object's local time by step frames and writes its channels at the new time.
// Returns 0 when the object has no motion (its time still advances), else 1.
int EvaluateMotion(SceneObject* object, float step);

// Once per frame: advances the scene time by delta_seconds x fps, evaluates every object
// inside its time window, then the camera.
void UpdateSceneMotion(Scene* scene);

// Replaces the object's motion with the file's. On failure a message box (caption "ERROR")
// says why, the object keeps its motion, the chunk's data is not freed and 0 is returned.
int LoadMotionChunk(SceneObject* object, MemChunk chunk);
