#include "jpeg_writer.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>

namespace {
struct jpeg_writer_error {
  jpeg_error_mgr mgr;
  jmp_buf jump;
};
} // namespace

static void jpeg_writer_error_exit(j_common_ptr info) {
  longjmp(reinterpret_cast<jpeg_writer_error*>(info->err)->jump, 1);
}

static void jpeg_writer_silent(j_common_ptr, int) {}

// The parts that longjmp may cross hold no objects with destructors.
static int jpeg_writer_run(const forge_picture* pic, const jpeg_options* options, unsigned char** buffer,
                           unsigned long* size, uint8_t* row) {
  jpeg_compress_struct info;
  jpeg_writer_error error;
  info.err = jpeg_std_error(&error.mgr);
  error.mgr.error_exit = jpeg_writer_error_exit;
  error.mgr.emit_message = jpeg_writer_silent;
  if (setjmp(error.jump)) {
    jpeg_destroy_compress(&info);
    return 0;
  }
  jpeg_create_compress(&info);
  jpeg_mem_dest(&info, buffer, size);
  info.image_width = JDIMENSION(pic->width);
  info.image_height = JDIMENSION(pic->height);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, options->quality, TRUE);
  if (options->full_chroma)
    info.comp_info[0].h_samp_factor = info.comp_info[0].v_samp_factor = 1;
  if (options->progressive)
    jpeg_simple_progression(&info);
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    const uint32_t* src = &pic->pixels[size_t(info.next_scanline) * size_t(pic->width)];
    for (int32_t x = 0; x < pic->width; x++) {
      row[x * 3] = uint8_t(picture_red(src[x]));
      row[x * 3 + 1] = uint8_t(picture_green(src[x]));
      row[x * 3 + 2] = uint8_t(picture_blue(src[x]));
    }
    JSAMPROW rows[1] = {row};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  return 1;
}

int write_jpeg(const forge_picture* pic, const jpeg_options* options, std::vector<uint8_t>* out) {
  const jpeg_options defaults;
  if (!options)
    options = &defaults;
  if (!picture_valid(pic) || pic->width < 1 || pic->height < 1 || pic->width > 65500 || pic->height > 65500 ||
      options->quality < 1 || options->quality > 100)
    return 0;
  std::vector<uint8_t> row(size_t(pic->width) * 3);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  const int ok = jpeg_writer_run(pic, options, &buffer, &size, row.data());
  if (ok)
    out->assign(buffer, buffer + size);
  std::free(buffer);
  return ok;
}
