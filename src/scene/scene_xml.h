// Scene scripts: XML files that build a scene as a sequence of commands (meshes from LWO2
// files or spheres, objects that place them, the camera, and animation keys).
//
// Element and attribute names match a keyword when, letter case ignored, they are the whole
// keyword or a leading part of it: <obj> acts as <object>, and an attribute "pos" is taken
// for each of "pos_x", "pos_y" and "pos_z". Script errors are fatal ("Error in XML", exit
// status -1) and are raised as FatalError.
#pragma once

#include "resource/mem_chunk.h"
#include "scene/scene_xml_state.h"

struct Scene;

// Parses the script into scene and frees the chunk's data. Returns 1, or 0 when no parser
// can be made. A syntax error is reported once with the file and line ("Parse error at line
// %d:\n%s\n"); what was built before it stays. Fatal script errors raise FatalError, with
// ScriptPlace() as its place.
int LoadSceneXml(Scene* scene, MemChunk chunk);

