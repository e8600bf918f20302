#include "jpeg_writer.h"

#include <csetjmp>
#include <cstdio>
#include <exception>
#include <jpeglib.h>

#include <jerror.h>

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

// The destination: the library writes straight into the vector, which grows
// by doubling. The vector belongs to the caller, so every path, the error
// path included, frees exactly what it owns and nothing else.
namespace {
struct jpeg_writer_dest {
  jpeg_destination_mgr pub;
  std::vector<uint8_t>* out;
};
} // namespace

// Gives the library the free part of the vector after used bytes, after
// growing it to at least want bytes. Raises a library error (which never
// returns) when the memory is not there.
static void jpeg_writer_dest_room(j_compress_ptr info, size_t used, size_t want) {
  auto* dest = reinterpret_cast<jpeg_writer_dest*>(info->dest);
  bool failed = false;
  try {
    dest->out->resize(want);
  } catch (const std::exception&) {
    failed = true;
  }
  if (failed) {
    info->err->msg_code = JERR_OUT_OF_MEMORY;
    info->err->error_exit(reinterpret_cast<j_common_ptr>(info));
  }
  dest->pub.next_output_byte = dest->out->data() + used;
  dest->pub.free_in_buffer = want - used;
}

static void jpeg_writer_dest_init(j_compress_ptr info) { jpeg_writer_dest_room(info, 0, 4096); }

static boolean jpeg_writer_dest_grow(j_compress_ptr info) {
  auto* dest = reinterpret_cast<jpeg_writer_dest*>(info->dest);
  // The library calls this when the buffer is full, whatever free_in_buffer says.
  const size_t used = dest->out->size();
  jpeg_writer_dest_room(info, used, used * 2);
  return TRUE;
}

static void jpeg_writer_dest_term(j_compress_ptr info) {
  auto* dest = reinterpret_cast<jpeg_writer_dest*>(info->dest);
  dest->out->resize(dest->out->size() - dest->pub.free_in_buffer);
}

void jpeg_writer_dest_set(jpeg_compress_struct* info, std::vector<uint8_t>* out) {
  // A destination of another kind is left to the pool, which frees it with
  // the compressor.
  if (!info->dest || info->dest->init_destination != jpeg_writer_dest_init)
    info->dest = static_cast<jpeg_destination_mgr*>(
        info->mem->alloc_small(reinterpret_cast<j_common_ptr>(info), JPOOL_PERMANENT, sizeof(jpeg_writer_dest)));
  auto* dest = reinterpret_cast<jpeg_writer_dest*>(info->dest);
  dest->pub.init_destination = jpeg_writer_dest_init;
  dest->pub.empty_output_buffer = jpeg_writer_dest_grow;
  dest->pub.term_destination = jpeg_writer_dest_term;
  dest->pub.next_output_byte = nullptr;
  dest->pub.free_in_buffer = 0;
  dest->out = out;
}

// The parts that longjmp may cross hold no objects with destructors.
static int jpeg_writer_run(const forge_picture* pic, const jpeg_options* options, std::vector<uint8_t>* bytes,
                           uint8_t* row) {
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
  jpeg_writer_dest_set(&info, bytes);
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
  std::vector<uint8_t> bytes;
  if (!jpeg_writer_run(pic, options, &bytes, row.data()))
    return 0;
  out->swap(bytes);
  return 1;
}
