#include "picture_fixtures.h"

#include <cstdio>
#include <cstring>
#include <gif_lib.h>
#include <jpeglib.h>

namespace {

uint32_t fixture_next(uint32_t* state) {
  uint32_t x = *state ? *state : 1;
  x ^= x << 13;
  x ^= x >> 17;
  x ^= x << 5;
  *state = x;
  return x;
}

void put16(fixture_bytes* out, int v) {
  out->push_back(uint8_t(v & 255));
  out->push_back(uint8_t((v >> 8) & 255));
}

// PCX run-length encoding of items; pad positions never start a run longer
// than one (the reader reads a pad as a single byte, or 0xC1 and its value).
void pcx_encode(fixture_bytes* out, const fixture_bytes& items, const std::vector<bool>& pad) {
  size_t i = 0;
  while (i < items.size()) {
    size_t n = 1;
    if (!pad[i])
      while (i + n < items.size() && n < 63 && items[i + n] == items[i])
        n++;
    if (n > 1 || items[i] >= 0xC0)
      out->push_back(uint8_t(0xC0 + n));
    out->push_back(items[i]);
    i += n;
  }
}

} // namespace

fixture_bytes fixture_rgb(int w, int h, uint32_t seed) {
  fixture_bytes out(size_t(w) * size_t(h) * 3);
  uint32_t state = seed * 2654435761u + 1;
  for (int y = 0; y < h; y++) {
    for (int x = 0; x < w; x++) {
      uint8_t* p = &out[(size_t(y) * size_t(w) + size_t(x)) * 3];
      const uint32_t r = fixture_next(&state);
      switch ((x / 16 + y / 8 + int(seed)) % 4) {
      case 0: // flat
        p[0] = uint8_t(40 + seed * 7), p[1] = 200, p[2] = uint8_t(90 + y / 8);
        break;
      case 1: // gradient
        p[0] = uint8_t(x * 255 / (w > 1 ? w - 1 : 1)), p[1] = uint8_t(y * 255 / (h > 1 ? h - 1 : 1));
        p[2] = uint8_t((x + y) & 255);
        break;
      case 2: // noise
        p[0] = uint8_t(r), p[1] = uint8_t(r >> 8), p[2] = uint8_t(r >> 16);
        break;
      default: // stripes
        p[0] = (x & 2) ? 255 : 0, p[1] = 0xC0 + uint8_t(y & 15), p[2] = (y & 1) ? 0xFF : 0x10;
        break;
      }
    }
  }
  return out;
}

fixture_bytes fixture_indices(int w, int h, int colours, uint32_t seed) {
  fixture_bytes out(size_t(w) * size_t(h));
  uint32_t state = seed * 2246822519u + 7;
  for (int y = 0; y < h; y++)
    for (int x = 0; x < w; x++) {
      const uint32_t r = fixture_next(&state);
      const bool patch = ((x / 8 + y / 4) & 1) == 0;
      out[size_t(y) * size_t(w) + size_t(x)] = uint8_t(patch ? (x / 8 + y) % colours : r % uint32_t(colours));
    }
  return out;
}

fixture_bytes fixture_palette(int colours, uint32_t seed) {
  fixture_bytes out(size_t(colours) * 3);
  uint32_t state = seed + 99;
  for (int i = 0; i < colours; i++) {
    const uint32_t r = fixture_next(&state);
    // The low bits of red keep every entry different.
    out[size_t(i) * 3] = uint8_t((r & 0xF0) | (i & 15));
    out[size_t(i) * 3 + 1] = uint8_t((r >> 8 & 0xF0) | (i >> 4 & 15));
    out[size_t(i) * 3 + 2] = uint8_t(r >> 16);
  }
  return out;
}

fixture_bytes fixture_ppm(int w, int h, const fixture_bytes& rgb) {
  const std::string head = "P6\n" + std::to_string(w) + " " + std::to_string(h) + "\n255\n";
  fixture_bytes out(head.begin(), head.end());
  out.insert(out.end(), rgb.begin(), rgb.end());
  return out;
}

fixture_bytes fixture_pgm(int w, int h, const fixture_bytes& grey) {
  const std::string head = "P5\n" + std::to_string(w) + " " + std::to_string(h) + "\n255\n";
  fixture_bytes out(head.begin(), head.end());
  out.insert(out.end(), grey.begin(), grey.end());
  return out;
}

std::vector<int> fixture_interlace_order(int h) {
  std::vector<int> order;
  const int start[4] = {0, 4, 2, 1};
  const int step[4] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; pass++)
    for (int y = start[pass]; y < h; y += step[pass])
      order.push_back(y);
  return order;
}

fixture_bytes fixture_pcx(int w, int h, int planes, const fixture_bytes& data, const fixture_bytes& palette,
                          const fixture_pcx_options& options) {
  fixture_bytes out(128, 0);
  out[0] = 10;
  out[1] = 5;
  out[2] = 1;
  out[3] = 8;
  out[4] = uint8_t(options.xmin & 255);
  out[5] = uint8_t(options.xmin >> 8);
  const int xmax = options.xmin + w - 1;
  out[8] = uint8_t(xmax & 255);
  out[9] = uint8_t(xmax >> 8);
  out[10] = uint8_t((h - 1) & 255);
  out[11] = uint8_t((h - 1) >> 8);
  out[65] = uint8_t(planes);
  const int line = w + (w & 1);
  out[66] = uint8_t(line & 255);
  out[67] = uint8_t(line >> 8);
  out[68] = 1;
  for (int y = 0; y < h; y++) {
    fixture_bytes items;
    std::vector<bool> pad;
    for (int p = 0; p < planes; p++) {
      for (int x = 0; x < w; x++) {
        items.push_back(data[(size_t(y) * size_t(w) + size_t(x)) * size_t(planes) + size_t(p)]);
        pad.push_back(false);
      }
      if (w & 1) {
        items.push_back(options.runs_across_planes ? items.back() : options.pad);
        pad.push_back(true);
      }
      if (!options.runs_across_planes) {
        pcx_encode(&out, items, pad);
        items.clear();
        pad.clear();
      }
    }
    if (options.runs_across_planes)
      pcx_encode(&out, items, pad);
  }
  if (planes == 1 && options.palette) {
    out.push_back(12);
    out.insert(out.end(), palette.begin(), palette.end());
  }
  return out;
}

fixture_bytes fixture_tga(int w, int h, int bits, const std::vector<uint32_t>& upright,
                          const fixture_tga_options& options) {
  fixture_bytes out;
  out.push_back(uint8_t(options.id.size()));
  out.push_back(options.colour_map > 0 ? 1 : 0);
  out.push_back(uint8_t(options.image_type));
  put16(&out, 0);
  put16(&out, options.colour_map);
  out.push_back(options.colour_map > 0 ? 24 : 0);
  put16(&out, 0);
  put16(&out, 0);
  put16(&out, w);
  put16(&out, h);
  out.push_back(uint8_t(bits));
  out.push_back(uint8_t(options.origin << 4 | (bits == 32 ? 8 : 0)));
  out.insert(out.end(), options.id.begin(), options.id.end());
  uint32_t state = 5;
  for (int i = 0; i < options.colour_map * 3; i++)
    out.push_back(uint8_t(fixture_next(&state)));
  const bool bottom = options.origin < 2;
  const bool right = options.origin & 1;
  for (int r = 0; r < h; r++) {
    for (int c = 0; c < w; c++) {
      const int y = bottom ? h - 1 - r : r;
      const int x = right ? w - 1 - c : c;
      const uint32_t p = upright[size_t(y) * size_t(w) + size_t(x)];
      if (bits == 16) {
        put16(&out, int(p & 0xFFFF));
      } else {
        out.push_back(uint8_t(p >> 16));
        out.push_back(uint8_t(p >> 8));
        out.push_back(uint8_t(p));
        if (bits == 32)
          out.push_back(uint8_t(p >> 24));
      }
    }
  }
  return out;
}

fixture_bytes fixture_scx(int w, int h, const fixture_bytes& pixels, uint32_t seed) {
  fixture_bytes out(778);
  uint32_t state = seed + 1;
  for (uint8_t& b : out)
    b = uint8_t(fixture_next(&state));
  out[4] = uint8_t(w & 255);
  out[5] = uint8_t(w >> 8);
  out[6] = uint8_t(h & 255);
  out[7] = uint8_t(h >> 8);
  out.reserve(out.size() + pixels.size()); // GCC 12 at -O3 warns falsely on growing a full vector here
  out.insert(out.end(), pixels.begin(), pixels.end());
  return out;
}

namespace {

int gif_output(GifFileType* gif, const GifByteType* data, int length) {
  fixture_bytes* out = static_cast<fixture_bytes*>(gif->UserData);
  out->insert(out->end(), data, data + length);
  return length;
}

ColorMapObject* gif_map(const fixture_bytes& palette) {
  if (palette.empty())
    return nullptr;
  const int count = int(palette.size() / 3);
  std::vector<GifColorType> colours(palette.size() / 3);
  for (int i = 0; i < count; i++)
    colours[size_t(i)] = {palette[size_t(i) * 3], palette[size_t(i) * 3 + 1], palette[size_t(i) * 3 + 2]};
  return GifMakeMapObject(count, colours.data());
}

} // namespace

fixture_bytes fixture_gif_giflib(const fixture_gif& layout) {
  fixture_bytes out;
  int error = 0;
  GifFileType* gif = EGifOpen(&out, gif_output, &error);
  if (!gif)
    return {};
  EGifSetGifVersion(gif, true);
  bool ok = true;
  ColorMapObject* global = gif_map(layout.palette);
  const int depth = global ? global->BitsPerPixel : 8;
  ok = EGifPutScreenDesc(gif, layout.screen_w, layout.screen_h, depth, 0, global) == GIF_OK;
  GifFreeMapObject(global);
  if (ok && !layout.comment.empty())
    ok = EGifPutComment(gif, layout.comment.c_str()) == GIF_OK;
  for (const fixture_gif_image& image : layout.images) {
    if (!ok)
      break;
    ColorMapObject* local = gif_map(image.palette);
    // giflib drops (without freeing) the previous image's local palette when
    // the next image has none.
    if (!local && gif->Image.ColorMap) {
      GifFreeMapObject(gif->Image.ColorMap);
      gif->Image.ColorMap = nullptr;
    }
    ok = EGifPutImageDesc(gif, image.left, image.top, image.w, image.h, image.interlace, local) == GIF_OK;
    GifFreeMapObject(local);
    // giflib takes the rows in the order they are stored.
    fixture_bytes row(size_t(image.w));
    for (int y = 0; ok && y < image.h; y++) {
      std::memcpy(row.data(), &image.indices[size_t(y) * size_t(image.w)], row.size());
      ok = EGifPutLine(gif, row.data(), image.w) == GIF_OK;
    }
  }
  if (EGifCloseFile(gif, &error) != GIF_OK)
    ok = false;
  return ok ? out : fixture_bytes{};
}

fixture_bytes fixture_jpeg(int w, int h, const fixture_bytes& rgb, int quality, bool progressive) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr err;
  cinfo.err = jpeg_std_error(&err);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = JDIMENSION(w);
  cinfo.image_height = JDIMENSION(h);
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  if (progressive)
    jpeg_simple_progression(&cinfo);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(&rgb[size_t(cinfo.next_scanline) * size_t(w) * 3]);
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  fixture_bytes out(buffer, buffer + size);
  std::free(buffer);
  return out;
}
