#include "gif_writer.h"

#include <gif_lib.h>

static int gif_output(GifFileType* gif, const GifByteType* data, int count) {
  auto* out = static_cast<std::vector<uint8_t>*>(gif->UserData);
  out->insert(out->end(), data, data + count);
  return count;
}

int write_gif(const indexed_picture* pic, int32_t palette_place, std::vector<uint8_t>* out) {
  if (!indexed_valid(pic) || pic->width < 1 || pic->height < 1 || pic->width > 65535 || pic->height > 65535)
    return 0;
  if (palette_place != GIF_PALETTE_GLOBAL && palette_place != GIF_PALETTE_LOCAL)
    return 0;
  for (uint8_t i : pic->indices)
    if (i >= pic->colours)
      return 0;

  int size = 2;
  while (size < pic->colours)
    size *= 2;
  GifColorType colours[256] = {};
  for (int i = 0; i < pic->colours; i++)
    colours[i] = {pic->palette[size_t(i) * 3], pic->palette[size_t(i) * 3 + 1], pic->palette[size_t(i) * 3 + 2]};
  ColorMapObject* map = GifMakeMapObject(size, colours);
  if (!map)
    return 0;

  out->clear();
  int error = 0;
  GifFileType* gif = EGifOpen(out, gif_output, &error);
  if (!gif) {
    GifFreeMapObject(map);
    return 0;
  }
  const bool global = palette_place == GIF_PALETTE_GLOBAL;
  bool ok = EGifPutScreenDesc(gif, pic->width, pic->height, map->BitsPerPixel, 0, global ? map : nullptr) == GIF_OK &&
            EGifPutImageDesc(gif, 0, 0, pic->width, pic->height, false, global ? nullptr : map) == GIF_OK;
  for (int32_t y = 0; ok && y < pic->height; y++) {
    auto* row = const_cast<GifPixelType*>(&pic->indices[size_t(y) * size_t(pic->width)]);
    ok = EGifPutLine(gif, row, pic->width) == GIF_OK;
  }
  // Closing flushes the last codes and the trailer; it frees gif either way.
  if (EGifCloseFile(gif, &error) != GIF_OK)
    ok = false;
  GifFreeMapObject(map);
  if (!ok)
    out->clear();
  return ok ? 1 : 0;
}
