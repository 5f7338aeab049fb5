#include "view_content.h"

#include "geometry/mesh.h"
#include "resource/png_texture.h"
#include "resource/texture_table.h"
#include "scene/scene.h"

void FreeViewContent(ViewContent* content) {
  delete content->scene;
  content->scene = nullptr;
  FreeTexture(&content->background);
  content->start_poses.clear();
  content->posed_seconds = -1.0;
  ReleaseTextureTable();
}

void SetMeshFlags(ViewContent* content, bool env_map, bool outline) {
  if (!content->scene) return;
  for (Mesh* mesh = content->scene->meshes; mesh; mesh = mesh->next) {
    mesh->env_map = env_map ? 1 : 0;
    mesh->outline = outline ? 1 : 0;
  }
}
