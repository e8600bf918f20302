// Picture files made for the reader tests and benchmarks: small encoders of
// our own for PCX, TGA and SCX (the cases no outside encoder makes), giflib
// for GIF and libjpeg for JPEG.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

using fixture_bytes = std::vector<uint8_t>;

// w * h red, green, blue triples: flat patches, gradients, stripes and noise,
// so encoders meet both long runs and detail.
fixture_bytes fixture_rgb(int w, int h, uint32_t seed);
// w * h indices below colours, in patches and noise.
fixture_bytes fixture_indices(int w, int h, int colours, uint32_t seed);
// colours red, green, blue triples, all different.
fixture_bytes fixture_palette(int colours, uint32_t seed);

fixture_bytes fixture_ppm(int w, int h, const fixture_bytes& rgb);
fixture_bytes fixture_pgm(int w, int h, const fixture_bytes& grey);

// Display rows of an interlaced GIF image in the order they are stored.
std::vector<int> fixture_interlace_order(int h);

struct fixture_pcx_options {
  // 24-bit: encode each scan line as one stream, so runs cross from one plane
  // into the next (never from one scan line into the next).
  bool runs_across_planes = false;
  // The pad byte of odd-width plane rows (a value from 0xC0 up is stored as
  // the two bytes 0xC1, value). With runs across planes the pad repeats the
  // plane's last byte instead.
  uint8_t pad = 0;
  int xmin = 0;
  bool palette = true; // 8-bit: write the 256-colour palette after the data
};

// A version-5 PCX file: planes 1 (data = indices, palette = 768 bytes) or 3
// (data = interleaved red, green, blue). Plane rows are padded to even lengths.
fixture_bytes fixture_pcx(int w, int h, int planes, const fixture_bytes& data, const fixture_bytes& palette,
                          const fixture_pcx_options& options = {});

struct fixture_tga_options {
  int origin = 2;     // (descriptor >> 4) & 3; 2 = top left
  std::string id;     // ID field
  int colour_map = 0; // declared colour-map entries (24-bit each, filled with noise)
  int image_type = 2;
};

// An uncompressed TGA file of 16, 24 or 32 bits from upright pixels (for 24
// and 32 bits red in bits 0-7 ... alpha in 24-31; for 16 bits the raw word).
fixture_bytes fixture_tga(int w, int h, int bits, const std::vector<uint32_t>& upright,
                          const fixture_tga_options& options = {});

// An SCX map: 778-byte header (noise except the size fields), then the pixels.
fixture_bytes fixture_scx(int w, int h, const fixture_bytes& pixels, uint32_t seed);

struct fixture_gif_image {
  int left = 0, top = 0, w = 0, h = 0;
  bool interlace = false;
  fixture_bytes palette; // local palette triples (a power of two), or empty
  fixture_bytes indices; // in stored order
};

struct fixture_gif {
  int screen_w = 0, screen_h = 0;
  fixture_bytes palette; // global palette triples (a power of two), or empty
  std::string comment;   // comment extension before the first image, if any
  std::vector<fixture_gif_image> images;
};

// A GIF file encoded by giflib; empty on a giflib error.
fixture_bytes fixture_gif_giflib(const fixture_gif& gif);

// A JPEG file encoded by libjpeg from red, green, blue triples.
fixture_bytes fixture_jpeg(int w, int h, const fixture_bytes& rgb, int quality, bool progressive);
