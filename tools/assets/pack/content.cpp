#include "pack/content.h"

namespace assets {

namespace {

// Archive order is the order here; the demo finds members by name, so it does not matter
// to the demo, but it is fixed so that the archive is reproducible.
const ContentMaker CONTENT_MAKERS[] = {
    {"presents.png", MakePresentsCard},
    {"zibo.png", MakeTitleCard},
    {"creds.png", MakeCreditsCard},
    {"greets.png", MakeGreetingsCard},
    {"bg_sky.png", MakeSkyBackground},
    {"bg_sol.png", MakeSunBackground},
    {"bg_natt.png", MakeNightBackground},
    {"wavefront.png", MakeFrontWave},
    {"wavemiddle.png", MakeMiddleWave},
    {"waveback.png", MakeRearWave},
    {"boble_zib.png", MakeZiboBubble},
    {"boble_zib1.png", MakeZiboSecondBubble},
    {"boble_obj.png", MakeObjectBubble},
    {"end.png", MakeEndCard},
    {"texture.png", MakeMeshTexture},
    {"texture2.png", MakeSecondMeshTexture},
    {"zibo.lwo", MakeZiboMesh},
    {"zibo_puff.lwo", MakeZiboPuffedMesh},
    {"mamma.lwo", MakeMammaMesh},
    {"heart.lwo", MakeHeartMesh},
    {"heart_beat.lwo", MakeBeatingHeartMesh},
    {"zibo1.mot", MakeZiboPlayMotion},
    {"zibo2.mot", MakeZiboLapsMotion},
    {"zibo3.mot", MakeZiboDriftMotion},
    {"mamma1.xml", MakeMammaScript},
    {"swim.xml", MakeSwimScript},
    {"swam.xml", MakeSwamScript},
    {"zibo.mp3", MakeSoundtrack},
};

}  // namespace

std::span<const ContentMaker> ContentMakers() { return CONTENT_MAKERS; }

}  // namespace assets
