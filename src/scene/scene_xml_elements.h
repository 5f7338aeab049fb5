// What each element of a scene script does; called from the parser's element callbacks
// with the loader state in g_scene_xml.
#pragma once

#include <expat.h>

// Acts on every keyword the element name matches, in the keyword table's order.
void StartScriptElement(const XML_Char* name, const XML_Char** atts);

// "object", "image" and "camera" close the current object; "scene" the current scene.
void EndScriptElement(const XML_Char* name);
