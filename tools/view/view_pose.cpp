#include "view_pose.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "geometry/motion.h"
#include "render/render_context.h"
#include "scene/object_motion.h"
#include "scene/scene.h"

namespace {

// The render pass draws an object only once scene time has passed its start (0): time 0 is
// shown as the first frame the demo draws of a part, a 60th of a second in.
constexpr double FIRST_FRAME_SECONDS = 1.0 / 60.0;

// Without --pos the object goes where the centre of its bounding sphere, however the object
// is turned, sits straight ahead at the framing distance. Camera space is R v + (x, -y, -z)
// for a position (x, y, z), so the position undoes the turned centre.
void PlaceInFront(const ViewContent& content, const float rotation[3], float position[3]) {
  LoadIdentity();
  Rotate(rotation[0], rotation[1], rotation[2]);
  double turned[3];
  TransformPoint(g_render.current, content.center[0], content.center[1], content.center[2], turned);
  const double distance = FramingDistance(content.radius);
  position[0] = static_cast<float>(-turned[0]);
  position[1] = static_cast<float>(turned[1]);
  position[2] = static_cast<float>(turned[2] - distance);
}

void PoseObject(ViewContent* content, const ViewOptions& options, double seconds) {
  SceneObject* object = content->scene->objects;
  std::memcpy(object->rotation, options.rot, sizeof object->rotation);
  object->rotation[1] = static_cast<float>(std::fmod(options.rot[1] + VIEW_TURN_DEGREES_PER_SECOND * seconds, 360.0));
  if (options.pos_given) {
    std::memcpy(object->position, options.pos, sizeof object->position);
  } else {
    PlaceInFront(*content, object->rotation, object->position);
  }
}

void ApplyPose(SceneObject* object, const ObjectPose& pose) {
  std::memcpy(object->position, pose.position, sizeof pose.position);
  std::memcpy(object->rotation, pose.rotation, sizeof pose.rotation);
  std::memcpy(object->scale, pose.scale, sizeof pose.scale);
  std::memcpy(object->alpha, pose.alpha, sizeof pose.alpha);
  std::memcpy(object->fov, pose.fov, sizeof pose.fov);
  object->local_time = pose.local_time;
}

// The poses were taken at load time: the objects in list order, then the camera.
void RestoreStartPoses(ViewContent* content) {
  Scene* scene = content->scene;
  size_t i = 0;
  for (SceneObject* object = scene->objects; object && i + 1 < content->start_poses.size(); object = object->next) {
    ApplyPose(object, content->start_poses[i++]);
  }
  if (!content->start_poses.empty()) ApplyPose(scene->camera, content->start_poses.back());
  scene->time = 0.0f;
}

// Motion is evaluated as the demo evaluates it, frame by frame, because a channel keeps what
// it last wrote where no segment applies (before its first key, on a key's exact time). A
// later time goes on from the last pose; an earlier one starts again from the loaded scene.
// Past the last key nothing changes any more, so the rest is one step.
void PoseScript(ViewContent* content, double seconds) {
  Scene* scene = content->scene;
  seconds = std::max(seconds, FIRST_FRAME_SECONDS);
  if (content->posed_seconds < 0 || seconds < content->posed_seconds) {
    RestoreStartPoses(content);
    content->posed_seconds = 0.0;
  }
  const double frame = 1.0 / scene->fps;
  double remaining = seconds - content->posed_seconds;
  while (remaining > 0) {
    double step = remaining;
    if (content->posed_seconds < content->loop_seconds + frame) step = std::min(step, frame);
    scene->delta_seconds = static_cast<float>(step);
    UpdateSceneMotion(scene);
    content->posed_seconds += step;
    remaining -= step;
  }
}

}  // namespace

double FramingDistance(double radius) {
  const double ratio = FOCAL_LENGTH / VIEW_FRAME_RADIUS;
  return radius * std::sqrt(1.0 + ratio * ratio);
}

void PoseView(ViewContent* content, const ViewOptions& options, double seconds) {
  if (!content->scene) return;
  if (content->kind == ViewKind::OBJECT) {
    PoseObject(content, options, seconds);
  } else {
    PoseScript(content, seconds);
  }
}
