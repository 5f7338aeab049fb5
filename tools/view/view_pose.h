// Where things are at a moment of the viewer's clock: an object turns slowly about its
// vertical axis; a script's objects and camera follow their motion.
#pragma once

#include "view_content.h"
#include "view_options.h"

// Degrees the object turns about y per second of the viewer's clock.
constexpr double VIEW_TURN_DEGREES_PER_SECOND = 36.0;

// Screen radius, in pixels, that an object placed without --pos is framed to.
constexpr double VIEW_FRAME_RADIUS = 160.0;

// Sets the scene up for the given seconds of the viewer's clock.
void PoseView(ViewContent* content, const ViewOptions& options, double seconds);

// The distance from the camera at which a sphere of this radius fills VIEW_FRAME_RADIUS
// pixels of the screen.
double FramingDistance(double radius);
