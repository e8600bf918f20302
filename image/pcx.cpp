#include "pcx.h"

#include "byte_reader.h"
#include "mem.h"
#include "vfs.h"

#include <cstdio>
#include <cstring>

int32_t pcx_verbose = 0;

namespace {

// Checks the header and fills kind, width and height; 0 if refused.
int pcx_parse_header(const uint8_t* h, pcx_picture* pic) {
  if (h[0] != 10) {
    if (pcx_verbose)
      std::printf("[PCX] manufacturer: '%c'\n", h[0]);
    return 0;
  }
  if (h[1] != 5) {
    if (pcx_verbose)
      std::printf("[PCX] warning! PCX Version not supported: '%c'\n", h[1]);
    return 0;
  }
  const int32_t planes = h[65];
  if (planes != 1 && planes != 3)
    return 0;
  pic->kind = planes == 1 ? PCX_INDEXED : PCX_TRUECOLOUR;
  pic->width = int32_t(h[8] | h[9] << 8) + 1;
  pic->height = int32_t(h[10] | h[11] << 8) + 1;
  return 1;
}

// A declared picture that the file could not hold even at the best run-length
// compression (two bytes for 63) is refused before anything is allocated.
int pcx_size_plausible(const pcx_picture* pic, int64_t data_bytes) {
  const int64_t pixels = int64_t(pic->width) * pic->height;
  if (pixels > PIXMAP_MAX_PIXELS)
    return 0;
  const int64_t samples = pixels * (pic->kind == PCX_INDEXED ? 1 : 3);
  return data_bytes >= 2 * ((samples + 62) / 63);
}

// Run-length decoding state of one scan line. A run cut at the end of a plane
// row is carried into the next plane of the same line (24-bit pictures only).
struct pcx_run {
  int32_t carry;
  uint8_t value;
};

// Decodes one plane row of width bytes, written step bytes apart. Returns 0 at
// the end of the file.
int pcx_decode_plane(byte_reader* in, uint8_t* out, int32_t width, int32_t step, pcx_run* run) {
  int32_t x = 0;
  for (; run->carry > 0 && x < width; x++, run->carry--)
    out[size_t(x) * size_t(step)] = run->value;
  while (x < width) {
    uint8_t b;
    if (!byte_reader_get(in, &b))
      return 0;
    if (b > 192) {
      int32_t count = b - 192;
      uint8_t v;
      if (!byte_reader_get(in, &v))
        return 0;
      int32_t n = width - x;
      if (count < n)
        n = count;
      if (step == 1) {
        std::memset(out + x, v, size_t(n));
      } else {
        for (int32_t i = 0; i < n; i++)
          out[size_t(x + i) * size_t(step)] = v;
      }
      x += n;
      run->carry = count - n;
      run->value = v;
    } else {
      out[size_t(x) * size_t(step)] = b;
      x++;
      run->carry = 0;
    }
  }
  // A plane row of odd width has one pad byte. A run cut at the row end gives
  // it; otherwise it is read, and a pad stored as a run of one costs two bytes.
  if (width & 1) {
    if (run->carry > 0) {
      run->carry--;
    } else {
      uint8_t pad;
      if (!byte_reader_get(in, &pad))
        return 0;
      if (pad == 193 && !byte_reader_get(in, &pad))
        return 0;
    }
  }
  return 1;
}

// Decodes every scan line. Decoding stops at the end of the file; what was not
// reached stays zero. Returns 0 if the file ended early.
int pcx_decode(byte_reader* in, pcx_picture* pic) {
  const int32_t w = pic->width;
  for (int32_t y = 0; y < pic->height; y++) {
    pcx_run run = {0, 0};
    if (pic->kind == PCX_INDEXED) {
      // The rest of a run cut at the row end is lost.
      if (!pcx_decode_plane(in, pic->data + size_t(y) * size_t(w), w, 1, &run))
        return 0;
    } else {
      uint8_t* line = pic->data + size_t(y) * size_t(w) * 3;
      for (int32_t plane = 0; plane < 3; plane++)
        if (!pcx_decode_plane(in, line + plane, w, 3, &run))
          return 0;
    }
  }
  return 1;
}

// Palette marker byte (ignored), then 256 red, green, blue triples.
int pcx_read_palette(byte_reader* in, pcx_picture* pic) {
  uint8_t marker;
  if (!byte_reader_get(in, &marker))
    return 0;
  uint8_t triples[768];
  if (byte_reader_read(in, triples, 768) != 768)
    return 0;
  for (int i = 0; i < 256; i++)
    pic->palette[i] = pixmap_rgba(triples[3 * i], triples[3 * i + 1], triples[3 * i + 2], 0);
  return 1;
}

pixmap* pcx_convert(const pcx_picture* pic) {
  pixmap* pm = pixmap_create(pic->width, pic->height, 0);
  if (!pm)
    return nullptr;
  const size_t count = size_t(pic->width) * size_t(pic->height);
  uint32_t* dst = pm->pixels;
  const uint8_t* src = pic->data;
  if (pic->kind == PCX_INDEXED) {
    for (size_t i = 0; i < count; i++)
      dst[i] = pic->palette[src[i]];
  } else {
    for (size_t i = 0; i < count; i++, src += 3)
      dst[i] = pixmap_rgba(src[0], src[1], src[2], 0);
  }
  return pm;
}

void pcx_release(pcx_picture* pic) {
  if (!pic)
    return;
  if (pic->data)
    mem_free(pic->data);
  if (pic->header)
    mem_free(pic->header);
  mem_free(pic);
}

// Opens the file and reads the header into a new picture record.
pcx_picture* pcx_open(vfs_file* file, byte_reader* in) {
  pcx_picture* pic = mem_alloc_array<pcx_picture>(1);
  if (!pic)
    return nullptr;
  pic->header = static_cast<uint8_t*>(mem_alloc(PCX_HEADER_SIZE));
  byte_reader_init(in, file);
  if (!pic->header || byte_reader_read(in, pic->header, PCX_HEADER_SIZE) != PCX_HEADER_SIZE ||
      !pcx_parse_header(pic->header, pic)) {
    pcx_release(pic);
    return nullptr;
  }
  return pic;
}

} // namespace

pixmap* pcx_load(const char* path) {
  vfs_file* file = vfs_open(path, "rb");
  if (!file)
    return nullptr;
  byte_reader* in = mem_alloc_array<byte_reader>(1);
  pcx_picture* pic = in ? pcx_open(file, in) : nullptr;
  pixmap* pm = nullptr;
  const char* why = !pic ? "not an 8-bit or 24-bit PCX picture" : "its declared size does not fit the file";
  if (pic && pcx_size_plausible(pic, byte_reader_left(in))) {
    why = "its data or palette is cut short";
    const size_t samples = size_t(pic->width) * size_t(pic->height) * (pic->kind == PCX_INDEXED ? 1 : 3);
    pic->data = static_cast<uint8_t*>(mem_alloc(samples));
    if (pic->data) {
      const int complete = pcx_decode(in, pic);
      // An indexed picture needs its palette after the data; a 24-bit one
      // keeps whatever was decoded before the end of the file.
      if (pic->kind == PCX_TRUECOLOUR || (complete && pcx_read_palette(in, pic)))
        pm = pcx_convert(pic);
    }
  }
  pcx_release(pic);
  if (in)
    mem_free(in);
  vfs_close(file);
  if (!pm)
    vfs_note_failure(path, why);
  return pm;
}

int pcx_read_info(const char* path, int32_t* kind, int32_t* width, int32_t* height) {
  vfs_file* file = vfs_open(path, "rb");
  if (!file)
    return 0;
  byte_reader* in = mem_alloc_array<byte_reader>(1);
  pcx_picture* pic = in ? pcx_open(file, in) : nullptr;
  const int ok = pic != nullptr;
  if (pic) {
    *kind = pic->kind;
    *width = pic->width;
    *height = pic->height;
  }
  pcx_release(pic);
  if (in)
    mem_free(in);
  vfs_close(file);
  return ok;
}
