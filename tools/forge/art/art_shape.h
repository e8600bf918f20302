// Anti-aliased shapes drawn into masks (coverage 0 to 1). Each call keeps the
// larger of the old and the new coverage, so shapes union.
#pragma once

#include "art_canvas.h"

// Ellipse with radii rx, ry turned by angle (radians) about its centre.
void art_shape_ellipse(art_field* mask, float cx, float cy, float rx, float ry, float angle);
// A line segment with round ends, of the given radius.
void art_shape_capsule(art_field* mask, float x0, float y0, float x1, float y1, float radius);
// Axis-aligned rectangle [x0, x1] x [y0, y1] with rounded corners.
void art_shape_round_rect(art_field* mask, float x0, float y0, float x1, float y1, float radius);
