// How long the show will run, as its songs tell it (for the capture's
// progress): the main sequence follows the main song to about its end, and
// the end part plays its own song once. Read through the file device, so
// only while the show runs.
#pragma once

// Seconds of one pass through the song stored under name; 0 when it cannot
// be read.
double render_estimate_song_seconds(const char* name);

// The whole show: the main song's pass and the end song's.
double render_estimate_show_seconds();
// The end part, once it has begun.
double render_estimate_end_part_seconds();
