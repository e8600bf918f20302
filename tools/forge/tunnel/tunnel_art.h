// The tunnel flight's textures. The scene is drawn unlit, so light and shade
// are painted in: bump-lit metal, glowing slots and seams. Every texture but
// the throat's and the cap's tiles in both directions (u runs around the
// tunnel, v along it), and none needs coordinates outside [0, 1].
#pragma once

#include "art_canvas.h"

// Panelled corridor: one bevelled steel panel with rivets and an orange slot.
void tunnel_art_panels(art_canvas* c);
// Ribbed tube: purple energy flowing along the tube between chrome ribs with
// a cyan core (the rib is at v = 0 and v = 1).
void tunnel_art_ribs(art_canvas* c);
// Crystal hall: faceted cells of blue and violet with glowing orange cracks.
void tunnel_art_hall(art_canvas* c);
// Twisting shaft: circuit traces on dark navy, framed by bright corner edges
// (u = 0 and u = 1 are the square's corners).
void tunnel_art_shaft(art_canvas* c);
// Throat: from deep violet at v = 0 through magenta and orange to white at
// v = 1, streaked along the flight.
void tunnel_art_throat(art_canvas* c);
// The light at the end: a white core in an orange corona with rays.
void tunnel_art_exit(art_canvas* c);
