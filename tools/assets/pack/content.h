// The demo's data as a table of makers: each entry names one file of the archive and the
// function that produces its bytes. Adding content is one line in content.cpp and one
// declaration here.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace assets {

using ContentBytes = std::vector<uint8_t>;

struct ContentMaker {
  const char* file_name;  // member name in the archive, as the demo parts ask for it
  ContentBytes (*make)();
};

std::span<const ContentMaker> ContentMakers();

// Title cards (images/cards.cpp), 512 x 384 RGB.
ContentBytes MakePresentsCard();
ContentBytes MakeTitleCard();
ContentBytes MakeCreditsCard();
ContentBytes MakeGreetingsCard();
ContentBytes MakeEndCard();

// Backgrounds (images/backgrounds.cpp), 512 x 384 RGB.
ContentBytes MakeSkyBackground();
ContentBytes MakeSunBackground();
ContentBytes MakeNightBackground();

// Wave strips (images/waves.cpp), RGBA, transparent above the crest.
ContentBytes MakeFrontWave();
ContentBytes MakeMiddleWave();
ContentBytes MakeRearWave();

// Speech bubbles (images/bubbles.cpp), RGBA.
ContentBytes MakeZiboBubble();
ContentBytes MakeZiboSecondBubble();
ContentBytes MakeObjectBubble();

// Mesh textures (meshes/textures.cpp), 256 x 256 RGB: the light the sphere map reads and
// the cast's skins the lightmaps read.
ContentBytes MakeMeshTexture();
ContentBytes MakeSecondMeshTexture();

// Meshes (meshes/characters.cpp), LWO2: the characters, their morph targets and the heart,
// each with a lightmap UV map into its skin.
ContentBytes MakeZiboMesh();
ContentBytes MakeZiboPuffedMesh();
ContentBytes MakeMammaMesh();
ContentBytes MakeHeartMesh();
ContentBytes MakeBeatingHeartMesh();

// The scene scripts and Zibo's motion files, one scene a file (scenes/mamma.cpp, swim.cpp and
// swam.cpp).
ContentBytes MakeMammaScript();
ContentBytes MakeZiboPlayMotion();
ContentBytes MakeSwimScript();
ContentBytes MakeZiboLapsMotion();
ContentBytes MakeSwamScript();
ContentBytes MakeZiboDriftMotion();

// The soundtrack (music/soundtrack.cpp), MP3.
ContentBytes MakeSoundtrack();

}  // namespace assets
