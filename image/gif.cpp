#include "gif.h"

#include "byte_reader.h"
#include "mem.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr int32_t LZW_MAX_CODES = 4096; // 12-bit codes
constexpr int32_t LZW_MAX_BITS = 12;

// LZW decoder state, reset for each image. Tables and stack are fixed arrays:
// nothing is allocated per code.
struct gif_lzw_state {
  uint16_t prefix[LZW_MAX_CODES];
  uint8_t suffix[LZW_MAX_CODES];
  uint8_t stack[LZW_MAX_CODES];
  // Bit reader over the data sub-blocks.
  uint8_t block[255];
  int32_t block_left;
  int32_t block_position;
  uint32_t current_byte;
  int32_t bits_left;
  int32_t data_end; // the data ended (terminator or end of file)
};

gif_lzw_state lzw;

// Next data byte, reading the next sub-block when the current one is used up.
// A zero length (the block terminator) or the end of the file ends the data.
int gif_lzw_byte(byte_reader* in, uint32_t* out) {
  if (lzw.block_left == 0) {
    uint8_t length;
    if (lzw.data_end || !byte_reader_get(in, &length) || length == 0) {
      lzw.data_end = 1;
      return 0;
    }
    lzw.block_left = byte_reader_read(in, lzw.block, length);
    lzw.block_position = 0;
    if (lzw.block_left == 0) {
      lzw.data_end = 1;
      return 0;
    }
  }
  *out = lzw.block[lzw.block_position++];
  lzw.block_left--;
  return 1;
}

// Next code of size bits, least significant bit first; -1 when the data ended.
int32_t gif_lzw_code(byte_reader* in, int32_t size) {
  if (lzw.bits_left == 0) {
    if (!gif_lzw_byte(in, &lzw.current_byte))
      return -1;
    lzw.bits_left = 8;
  }
  uint32_t code = lzw.current_byte >> (8 - lzw.bits_left);
  while (size > lzw.bits_left) {
    if (!gif_lzw_byte(in, &lzw.current_byte))
      return -1;
    code |= lzw.current_byte << lzw.bits_left;
    lzw.bits_left += 8;
  }
  lzw.bits_left -= size;
  return int32_t(code & ((1u << size) - 1));
}

// Decodes one image's LZW data into width * height indices. Indices beyond
// that are dropped (the codes are still read up to the end code), and a code
// chain longer than the stack ends the decoding, so corrupt data can neither
// overrun the output nor loop. 0 on success, -1 for a bad minimum code size.
int gif_lzw_decode(byte_reader* in, uint8_t* output, int32_t width, int32_t height) {
  const int32_t min_size = byte_reader_u8(in);
  if (min_size < 2 || min_size > 9)
    return -1;
  std::memset(lzw.prefix, 0, sizeof lzw.prefix);
  std::memset(lzw.suffix, 0, sizeof lzw.suffix);
  lzw.block_left = 0;
  lzw.block_position = 0;
  lzw.current_byte = 0;
  lzw.bits_left = 0;
  lzw.data_end = 0;

  const int32_t clear = 1 << min_size;
  const int32_t end = clear + 1;
  const int32_t first_free = end + 1;
  int32_t size = min_size + 1;
  int32_t top_slot = 1 << size;
  int32_t slot = first_free;
  int32_t old_code = 0;
  int32_t first_char = 0;
  const size_t total = size_t(width) * size_t(height);
  size_t written = 0;

  for (;;) {
    int32_t c = gif_lzw_code(in, size);
    if (c < 0 || c == end)
      break;
    if (c == clear) {
      size = min_size + 1;
      slot = first_free;
      top_slot = 1 << size;
      do
        c = gif_lzw_code(in, size);
      while (c == clear);
      if (c < 0 || c == end)
        break;
      if (c >= slot)
        c = 0;
      old_code = first_char = c;
      if (written < total)
        output[written++] = uint8_t(c);
      continue;
    }
    int32_t sp = 0;
    int32_t code = c;
    if (code >= slot) {
      lzw.stack[sp++] = uint8_t(first_char);
      code = old_code;
    }
    while (code >= first_free && sp < LZW_MAX_CODES - 1) {
      lzw.stack[sp++] = lzw.suffix[code];
      code = lzw.prefix[code];
    }
    if (code >= first_free)
      break; // a chain no valid stream makes
    lzw.stack[sp++] = uint8_t(code);
    if (slot < top_slot) {
      lzw.suffix[slot] = uint8_t(first_char = code);
      lzw.prefix[slot] = uint16_t(old_code);
      slot++;
      old_code = c;
    }
    if (slot >= top_slot && size < LZW_MAX_BITS) {
      top_slot <<= 1;
      size++;
    }
    while (sp > 0) {
      sp--;
      if (written < total)
        output[written++] = lzw.stack[sp];
    }
  }
  return 0;
}

// The most indices LZW data of this many bytes can yield: the n-th code after
// a clear stands for at most n indices, codes are at least three bits wide and
// grow with the table, and no string is longer than the table.
int64_t gif_max_indices(int64_t bytes) {
  int64_t bits = bytes * 8;
  int64_t total = 0;
  int32_t size = 3;
  int32_t slot = 6;
  int32_t top_slot = 8;
  int64_t length = 1;
  while (bits >= size) {
    if (slot >= LZW_MAX_CODES)
      return total + bits / size * LZW_MAX_CODES;
    bits -= size;
    total += length++;
    slot++;
    if (slot >= top_slot && size < LZW_MAX_BITS) {
      top_slot <<= 1;
      size++;
    }
  }
  return total;
}

void gif_image_free(gif_image* image) {
  if (!image)
    return;
  if (image->indices)
    mem_free(image->indices);
  mem_free(image);
}

// Reads palette triples; byte 3 of each entry is alpha.
void gif_read_palette(byte_reader* in, uint32_t* palette, int32_t count, uint32_t alpha) {
  uint8_t triples[768];
  const int32_t got = byte_reader_read(in, triples, count * 3);
  std::memset(triples + got, 0, size_t(count * 3 - got));
  for (int32_t i = 0; i < count; i++)
    palette[i] = pixmap_rgba(triples[3 * i], triples[3 * i + 1], triples[3 * i + 2], alpha);
}

gif_image* gif_read_image(byte_reader* in) {
  gif_image* image = mem_alloc_array<gif_image>(1);
  if (!image)
    return nullptr;
  image->left = int32_t(byte_reader_u16(in));
  image->top = int32_t(byte_reader_u16(in));
  image->width = int32_t(byte_reader_u16(in));
  image->height = int32_t(byte_reader_u16(in));
  image->packed = byte_reader_u8(in);
  if (image->packed & 0x80) {
    image->local_colours = 1 << ((image->packed & 7) + 1);
    std::printf("[GIF] reading local palette with %d colors\n", image->local_colours);
    gif_read_palette(in, image->local_palette, image->local_colours, 0);
  }
  // A size the rest of the file could not fill is refused before allocating.
  const int64_t count = int64_t(image->width) * image->height;
  if (count > PIXMAP_MAX_PIXELS || count > gif_max_indices(byte_reader_left(in))) {
    gif_image_free(image);
    return nullptr;
  }
  image->indices = static_cast<uint8_t*>(mem_alloc(size_t(count)));
  if (!image->indices || gif_lzw_decode(in, image->indices, image->width, image->height) != 0) {
    gif_image_free(image);
    return nullptr;
  }
  // The block terminator; anything else is read again as the next block.
  uint8_t b;
  if (byte_reader_get(in, &b) && b != 0)
    byte_reader_unget(in);
  return image;
}

// Skips data sub-blocks up to the terminator or the end of the file.
void gif_skip_blocks(byte_reader* in) {
  uint8_t length;
  while (byte_reader_get(in, &length) && length != 0)
    if (byte_reader_skip(in, length) != length)
      return;
}

void gif_print_blocks(byte_reader* in) {
  uint8_t length;
  while (byte_reader_get(in, &length) && length != 0) {
    for (int32_t i = 0; i < length; i++) {
      uint8_t c;
      if (!byte_reader_get(in, &c))
        return;
      std::printf("%c", c);
    }
  }
}

int gif_add_image(gif_file* gif, gif_image* image) {
  const size_t bytes = sizeof(gif_image*) * size_t(gif->image_count + 1);
  gif_image** grown = static_cast<gif_image**>(mem_alloc(bytes));
  if (!grown)
    return 0;
  if (gif->images) {
    std::memcpy(grown, gif->images, bytes - sizeof(gif_image*));
    mem_free(gif->images);
  }
  gif->images = grown;
  gif->images[gif->image_count++] = image;
  return 1;
}

gif_file* gif_parse_stream(byte_reader* in) {
  char text[4] = {0, 0, 0, 0};
  byte_reader_read(in, text, 3);
  std::printf("[GIF] signature: '%s'\n", text);
  if (std::memcmp(text, "GIF", 3) != 0)
    return nullptr;
  std::memset(text, 0, sizeof text);
  byte_reader_read(in, text, 3);
  std::printf("[GIF] version: '%s'\n", text);

  gif_file* gif = mem_alloc_array<gif_file>(1);
  if (!gif)
    return nullptr;
  std::memcpy(gif->header, text, 4);
  const int32_t width = int32_t(byte_reader_u16(in));
  const int32_t height = int32_t(byte_reader_u16(in));
  const uint8_t packed = byte_reader_u8(in);
  const int32_t background = byte_reader_u8(in);
  byte_reader_u8(in); // aspect ratio
  std::printf("[GIF] (width,height) = (%d,%d)\n", width, height);
  int32_t colours = 0;
  if (packed & 0x80) {
    colours = 1 << ((packed & 7) + 1);
    std::printf("[GIF] reading global palette with %d colors\n", colours);
    gif_read_palette(in, gif->global_palette, colours, 255);
  }

  uint8_t b;
  while (byte_reader_get(in, &b) && b != ';') {
    if (b == ',') {
      std::printf("[GIF] reading image\n");
      gif_image* image = gif_read_image(in);
      if (!image || !gif_add_image(gif, image)) {
        gif_image_free(image);
        gif_file_free(gif);
        return nullptr;
      }
    } else if (b == '!') {
      uint8_t label;
      if (!byte_reader_get(in, &label))
        break;
      if (label == 0xF9) {
        std::printf("[GIF] skipping Graphical Control Extension\n");
        gif_skip_blocks(in);
      } else if (label == 0x01 || label == 0xFF) {
        std::printf("[GIF] skipping Application / Plain Text Extension\n");
        gif_skip_blocks(in);
      } else if (label == 0xFE) {
        std::printf("[GIF] printing Comment Extension\n");
        gif_print_blocks(in);
        std::printf("\n");
      }
      // Any other label: its sub-blocks are read as block introducers.
    } else {
      std::printf("[GIF] unknown type (0x%2x)\n", b);
    }
  }
  gif->screen_width = width;
  gif->screen_height = height;
  gif->global_colours = colours;
  gif->background = background;
  gif->packed = packed;
  std::printf("[GIF] Finished reading\n");
  return gif;
}

} // namespace

void gif_file_free(gif_file* gif) {
  if (!gif)
    return;
  for (int32_t i = 0; i < gif->image_count; i++)
    gif_image_free(gif->images[i]);
  if (gif->images)
    mem_free(gif->images);
  mem_free(gif);
}

gif_file* gif_parse(vfs_file* file) {
  byte_reader* in = mem_alloc_array<byte_reader>(1);
  if (!in)
    return nullptr;
  byte_reader_init(in, file);
  gif_file* gif = gif_parse_stream(in);
  mem_free(in);
  return gif;
}

pixmap* gif_load(const char* path) {
  vfs_file* file = vfs_open(path, "rb");
  if (!file)
    return nullptr;
  gif_file* gif = gif_parse(file);
  vfs_close(file);
  if (!gif) {
    vfs_note_failure(path, "not a GIF picture, or its blocks are damaged");
    return nullptr;
  }
  pixmap* pm = nullptr;
  if (gif->image_count > 0) {
    const gif_image* image = gif->images[0];
    const uint32_t* palette = image->local_colours > 0  ? image->local_palette
                              : gif->global_colours > 0 ? gif->global_palette
                                                        : nullptr;
    // An image without pixels is no picture.
    if (palette && image->width > 0 && image->height > 0)
      pm = pixmap_create(image->width, image->height, 0);
    if (pm) {
      const size_t count = size_t(image->width) * size_t(image->height);
      for (size_t i = 0; i < count; i++)
        pm->pixels[i] = palette[image->indices[i]];
    }
  }
  gif_file_free(gif);
  if (!pm)
    vfs_note_failure(path, "holds no image with a palette");
  return pm;
}
