// Sound layer: plays tracker songs with libopenmpt and outputs them through
// SDL2 audio (44,100 Hz, stereo, 16-bit, a 1024-frame buffer). Where no audio
// device opens it falls back to SDL's silent dummy output, which still
// consumes the songs in real time. In virtual mode no device is opened and
// the caller pulls the mixed output with sound_render.
//
// Song handles are checked against the list of live songs before use, so a
// handle that was freed answers like "no song". libopenmpt's objects are not
// thread-safe: every call on a song happens under the layer's lock, which
// also holds the audio device's lock while a device is open.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int32_t SOUND_RATE = 44100;
constexpr int32_t SOUND_BUFFER_FRAMES = 1024;

struct sound_song;

// Virtual mode: no device, output pulled with sound_render, libopenmpt's
// dither off so renders repeat bit for bit. Set while the output is closed.
int sound_set_virtual(int on);
int sound_is_virtual();

// Opens the output at the given mixing rate. Returns 1 (also when already
// open), 0 when not even the dummy output opens.
int sound_open(int32_t rate);
// Closes the output; after it no audio callback runs. Songs stay loaded.
void sound_close();
int sound_is_open();
// Name of the output in use: an SDL driver name ("dummy", "pulseaudio", ...),
// "virtual", or "" when closed.
const char* sound_driver();

// The layer's lock (recursive), for callers that need several calls to see
// one consistent state.
void sound_lock();
void sound_unlock();

// Loading (main thread). A file that libopenmpt cannot read (a bad header,
// an empty file) gives none. The memory is copied; the caller keeps its own.
sound_song* sound_song_load_file(const char* path);
sound_song* sound_song_load_memory(const void* data, size_t size);
int sound_song_free(sound_song* song);

// Playback. Songs loop for ever; every wrap to the song's loop start adds one
// to the loop count. Stop rewinds the song to its start.
int sound_song_play(sound_song* song);
int sound_song_stop(sound_song* song);
int sound_song_is_playing(sound_song* song);
// Jumps to row 0 of an order; an order outside the song gives 0 and no jump.
int sound_song_set_order(sound_song* song, int32_t order);

// Position at the end of the audio rendered so far; -1 for no song.
int32_t sound_song_order(sound_song* song);
int32_t sound_song_pattern(sound_song* song);
int32_t sound_song_row(sound_song* song);
// Wraps since play; 0 for no song.
uint32_t sound_song_loops(sound_song* song);
// Frames of this song rendered since play (or since the rewind of a stop)
// when it last wrapped: where one pass ends in its output. 0 for no song or
// before the first wrap.
uint64_t sound_song_wrap_frame(sound_song* song);

// Facts of the song (for tools); -1 or 0 for no song.
int32_t sound_song_num_orders(sound_song* song);
int32_t sound_song_order_pattern(sound_song* song, int32_t order);
int32_t sound_song_pattern_rows(sound_song* song, int32_t pattern);
double sound_song_duration(sound_song* song);

// Virtual mode only: mixes the playing songs into frames interleaved stereo
// 16-bit frames (silence where nothing plays). Returns frames written, 0 when
// not in virtual mode or the output is closed.
uint32_t sound_render(int16_t* out, uint32_t frames);
