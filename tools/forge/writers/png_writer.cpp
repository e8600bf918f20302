#include "png_writer.h"

#include <csetjmp>
#include <png.h>

static void png_writer_data(png_structp png, png_bytep data, size_t count) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + count);
}

static void png_writer_flush(png_structp) {}

static void png_writer_warning(png_structp, png_const_charp) {}

static void png_writer_error(png_structp png, png_const_charp) { png_longjmp(png, 1); }

// The parts that longjmp may cross hold no objects with destructors.
static int png_writer_run(const forge_picture* pic, bool alpha, std::vector<uint8_t>* out, uint8_t* row) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, png_writer_error, png_writer_warning);
  if (!png)
    return 0;
  png_infop info = png_create_info_struct(png);
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return 0;
  }
  png_set_write_fn(png, out, png_writer_data, png_writer_flush);
  png_set_IHDR(png, info, png_uint_32(pic->width), png_uint_32(pic->height), 8,
               alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  const int channels = alpha ? 4 : 3;
  for (int32_t y = 0; y < pic->height; y++) {
    const uint32_t* src = &pic->pixels[size_t(y) * size_t(pic->width)];
    for (int32_t x = 0; x < pic->width; x++) {
      uint8_t* d = row + x * channels;
      d[0] = uint8_t(picture_red(src[x]));
      d[1] = uint8_t(picture_green(src[x]));
      d[2] = uint8_t(picture_blue(src[x]));
      if (alpha)
        d[3] = uint8_t(picture_alpha(src[x]));
    }
    png_write_row(png, row);
  }
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return 1;
}

int write_png(const forge_picture* pic, bool alpha, std::vector<uint8_t>* out) {
  if (!picture_valid(pic) || pic->width < 1 || pic->height < 1)
    return 0;
  std::vector<uint8_t> row(size_t(pic->width) * 4);
  out->clear();
  if (!png_writer_run(pic, alpha, out, row.data())) {
    out->clear();
    return 0;
  }
  return 1;
}
