#include "jpeg.h"

#include "mem.h"
#include "vfs.h"

#include <csetjmp>
#include <cstdio>

// jpeglib.h needs the standard types declared first.
#include <jerror.h>
#include <jpeglib.h>

namespace {

constexpr int JPEG_INTERFACE_VERSION = 62;
static_assert(JPEG_LIB_VERSION == JPEG_INTERFACE_VERSION, "the reader drives the version-62 interface");

constexpr size_t JPEG_INPUT_BUFFER = 4096;

// The library's standard error manager followed by the jump back into the loader.
struct jpeg_error_jump {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
};

[[noreturn]] void jpeg_error_exit(j_common_ptr cinfo) {
  jpeg_error_jump* err = reinterpret_cast<jpeg_error_jump*>(cinfo->err);
  std::longjmp(err->jump, 1);
}

// Data source reading the open file in 4096-byte blocks.
struct jpeg_vfs_source {
  jpeg_source_mgr pub;
  vfs_file* file;
  JOCTET* buffer;
  boolean start_of_file;
};

void jpeg_vfs_init_source(j_decompress_ptr cinfo) {
  reinterpret_cast<jpeg_vfs_source*>(cinfo->src)->start_of_file = TRUE;
}

boolean jpeg_vfs_fill_input_buffer(j_decompress_ptr cinfo) {
  jpeg_vfs_source* src = reinterpret_cast<jpeg_vfs_source*>(cinfo->src);
  int32_t got = vfs_read(src->buffer, 1, int32_t(JPEG_INPUT_BUFFER), src->file);
  if (got <= 0) {
    if (src->start_of_file)
      ERREXIT(cinfo, JERR_INPUT_EMPTY);
    // Past the end: warn and hand the library an end-of-image marker.
    WARNMS(cinfo, JWRN_JPEG_EOF);
    src->buffer[0] = JOCTET(0xFF);
    src->buffer[1] = JOCTET(JPEG_EOI);
    got = 2;
  }
  src->pub.next_input_byte = src->buffer;
  src->pub.bytes_in_buffer = size_t(got);
  src->start_of_file = FALSE;
  return TRUE;
}

void jpeg_vfs_skip_input_data(j_decompress_ptr cinfo, long count) {
  if (count <= 0)
    return;
  jpeg_source_mgr* src = cinfo->src;
  while (count > long(src->bytes_in_buffer)) {
    count -= long(src->bytes_in_buffer);
    src->fill_input_buffer(cinfo);
  }
  src->next_input_byte += size_t(count);
  src->bytes_in_buffer -= size_t(count);
}

void jpeg_vfs_term_source(j_decompress_ptr) {}

void jpeg_vfs_source_install(j_decompress_ptr cinfo, vfs_file* file) {
  if (!cinfo->src) {
    jpeg_vfs_source* src = static_cast<jpeg_vfs_source*>(
        cinfo->mem->alloc_small(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, sizeof(jpeg_vfs_source)));
    src->buffer = static_cast<JOCTET*>(
        cinfo->mem->alloc_small(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, JPEG_INPUT_BUFFER));
    cinfo->src = &src->pub;
  }
  jpeg_vfs_source* src = reinterpret_cast<jpeg_vfs_source*>(cinfo->src);
  src->pub.init_source = jpeg_vfs_init_source;
  src->pub.fill_input_buffer = jpeg_vfs_fill_input_buffer;
  src->pub.skip_input_data = jpeg_vfs_skip_input_data;
  src->pub.resync_to_restart = jpeg_resync_to_restart;
  src->pub.term_source = jpeg_vfs_term_source;
  src->pub.next_input_byte = nullptr;
  src->pub.bytes_in_buffer = 0;
  src->file = file;
}

// One decoding: everything the error jump must find again lives here, in
// memory that the jump does not touch.
struct jpeg_job {
  jpeg_decompress_struct cinfo;
  jpeg_error_jump err;
  vfs_file* file;
  pixmap* pm;
  int created;
};

// Copies one decoded row into row y of the pixmap: red, green, blue, and byte
// 3 set to 0. Grey-scale rows give each pixel its one sample three times.
void jpeg_copy_row(pixmap* pm, int32_t y, const JSAMPLE* row, int32_t components, int32_t row_width) {
  if (y >= pm->height)
    return;
  uint32_t* dst = pm->pixels + pm->rows[y];
  const int32_t n = pm->width < row_width ? pm->width : row_width;
  if (components == 1) {
    for (int32_t x = 0; x < n; x++)
      dst[x] = pixmap_rgba(row[x], row[x], row[x], 0);
  } else {
    for (int32_t x = 0; x < n; x++, row += 3)
      dst[x] = pixmap_rgba(row[0], row[1], row[2], 0);
  }
}

// Reads the header. Only pictures the library delivers as RGB or grey-scale
// are taken (not CMYK).
int jpeg_job_header(jpeg_job* job) {
  jpeg_read_header(&job->cinfo, TRUE);
  return job->cinfo.out_color_space == JCS_RGB || job->cinfo.out_color_space == JCS_GRAYSCALE;
}

void jpeg_job_end(jpeg_job* job) {
  if (job->created)
    jpeg_destroy_decompress(&job->cinfo);
  vfs_close(job->file);
  mem_free(job);
}

jpeg_job* jpeg_job_begin(const char* path) {
  vfs_file* file = vfs_open(path, "rb");
  if (!file)
    return nullptr;
  jpeg_job* job = mem_alloc_array<jpeg_job>(1);
  if (!job) {
    vfs_close(file);
    return nullptr;
  }
  job->file = file;
  job->cinfo.err = jpeg_std_error(&job->err.pub);
  job->err.pub.error_exit = jpeg_error_exit;
  return job;
}

// Bound on the memory the library may take for one picture.
constexpr long JPEG_MAX_LIBRARY_MEMORY = 384L << 20;

} // namespace

pixmap* jpeg_load(const char* path) {
  jpeg_job* const job = jpeg_job_begin(path);
  if (!job)
    return nullptr;
  if (setjmp(job->err.jump)) {
    // A library error: release everything and report failure, with the
    // library's own words for why.
    char why[JMSG_LENGTH_MAX];
    job->err.pub.format_message(reinterpret_cast<j_common_ptr>(&job->cinfo), why);
    vfs_note_failure(path, why);
    if (job->pm)
      pixmap_free(job->pm);
    jpeg_job_end(job);
    return nullptr;
  }
  jpeg_decompress_struct* cinfo = &job->cinfo;
  jpeg_CreateDecompress(cinfo, JPEG_INTERFACE_VERSION, sizeof(jpeg_decompress_struct));
  job->created = 1;
  jpeg_vfs_source_install(cinfo, job->file);
  if (!jpeg_job_header(job)) {
    vfs_note_failure(path, "not an RGB or grey-scale JPEG picture");
    jpeg_job_end(job);
    return nullptr;
  }
  // The header's size is refused before the library sets up its buffers: a
  // few patched bytes could otherwise ask for gigabytes. The library's own
  // memory is bounded too (a progressive picture keeps all its coefficients);
  // past the bound it fails through the error exit.
  if (int64_t(cinfo->image_width) * cinfo->image_height > PIXMAP_MAX_PIXELS) {
    vfs_note_failure(path, "its declared size is too large");
    jpeg_job_end(job);
    return nullptr;
  }
  // Every 8 x 8 block costs at least one bit of coded data (its DC code), so
  // a file too small for its declared size is cut short or forged: refused
  // before a picture of that size is allocated and decoded from nothing.
  const int64_t blocks = (int64_t(cinfo->image_width) + 7) / 8 * ((int64_t(cinfo->image_height) + 7) / 8);
  if (blocks > int64_t(vfs_size(job->file)) * 8) {
    vfs_note_failure(path, "its data is too short for its declared size");
    jpeg_job_end(job);
    return nullptr;
  }
  cinfo->mem->max_memory_to_use = JPEG_MAX_LIBRARY_MEMORY;
  jpeg_start_decompress(cinfo);
  const int32_t components = cinfo->output_components;
  const int32_t row_width = int32_t(cinfo->output_width);
  JSAMPARRAY row = cinfo->mem->alloc_sarray(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_IMAGE,
                                            cinfo->output_width * JDIMENSION(components), 1);
  job->pm = pixmap_create(int32_t(cinfo->image_width), int32_t(cinfo->image_height), PIXMAP_CLEAR);
  if (!job->pm) {
    jpeg_job_end(job);
    return nullptr;
  }
  for (int32_t y = 0; cinfo->output_scanline < cinfo->output_height; y++) {
    jpeg_read_scanlines(cinfo, row, 1);
    jpeg_copy_row(job->pm, y, row[0], components, row_width);
  }
  jpeg_finish_decompress(cinfo);
  pixmap* pm = job->pm;
  jpeg_job_end(job);
  return pm;
}

int jpeg_read_info(const char* path, jpeg_info* info) {
  jpeg_job* const job = jpeg_job_begin(path);
  if (!job)
    return 0;
  if (setjmp(job->err.jump)) {
    jpeg_job_end(job);
    return 0;
  }
  jpeg_CreateDecompress(&job->cinfo, JPEG_INTERFACE_VERSION, sizeof(jpeg_decompress_struct));
  job->created = 1;
  jpeg_vfs_source_install(&job->cinfo, job->file);
  const int ok = jpeg_job_header(job);
  info->width = int32_t(job->cinfo.image_width);
  info->height = int32_t(job->cinfo.image_height);
  info->components = job->cinfo.num_components;
  info->progressive = job->cinfo.progressive_mode ? 1 : 0;
  jpeg_job_end(job);
  return ok;
}
