#include "wav_file.h"

#include <cstring>

namespace {

void wav_put_u16(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
}

void wav_put_u32(uint8_t* p, uint32_t v) {
  wav_put_u16(p, v & 0xFFFF);
  wav_put_u16(p + 2, v >> 16);
}

// The 44-byte header for the given data size.
void wav_header(uint8_t* h, uint32_t rate, uint32_t data_bytes) {
  std::memcpy(h, "RIFF", 4);
  wav_put_u32(h + 4, 36 + data_bytes);
  std::memcpy(h + 8, "WAVEfmt ", 8);
  wav_put_u32(h + 16, 16); // fmt chunk size
  wav_put_u16(h + 20, 1);  // PCM
  wav_put_u16(h + 22, 2);  // channels
  wav_put_u32(h + 24, rate);
  wav_put_u32(h + 28, rate * 4); // bytes per second
  wav_put_u16(h + 32, 4);        // bytes per frame
  wav_put_u16(h + 34, 16);       // bits per sample
  std::memcpy(h + 36, "data", 4);
  wav_put_u32(h + 40, data_bytes);
}

constexpr uint64_t wav_max_data = 0xFFFFFFFFull - 36;

} // namespace

int wav_file_open(wav_file* wav, const char* path, uint32_t rate) {
  if (!wav || !path || rate == 0 || rate > 0x3FFFFFFF)
    return 0;
  std::memset(wav, 0, sizeof(*wav));
  wav->stream = std::fopen(path, "wb");
  if (!wav->stream)
    return 0;
  wav->rate = rate;
  uint8_t header[44];
  wav_header(header, rate, 0);
  if (std::fwrite(header, 1, sizeof(header), wav->stream) != sizeof(header))
    wav->failed = 1;
  return 1;
}

int wav_file_write(wav_file* wav, const int16_t* data, uint32_t frames) {
  if (!wav || !wav->stream || wav->failed || (!data && frames))
    return 0;
  if ((wav->frames + frames) * 4 > wav_max_data) {
    wav->failed = 1;
    return 0;
  }
  // Little-endian samples whatever the machine.
  uint8_t block[4096];
  uint32_t done = 0;
  while (done < frames) {
    const uint32_t n = frames - done < 1024 ? frames - done : 1024;
    for (uint32_t i = 0; i < n * 2; i++)
      wav_put_u16(block + i * 2, uint16_t(data[done * 2 + i]));
    if (std::fwrite(block, 1, size_t(n) * 4, wav->stream) != size_t(n) * 4) {
      wav->failed = 1;
      return 0;
    }
    done += n;
  }
  wav->frames += frames;
  return 1;
}

int wav_file_close(wav_file* wav) {
  if (!wav || !wav->stream)
    return 0;
  int ok = !wav->failed;
  uint8_t header[44];
  wav_header(header, wav->rate, uint32_t(wav->frames * 4));
  if (ok && (std::fseek(wav->stream, 0, SEEK_SET) != 0 || std::fwrite(header, 1, sizeof(header), wav->stream) != 44))
    ok = 0;
  if (std::fclose(wav->stream) != 0)
    ok = 0;
  wav->stream = nullptr;
  return ok;
}

void wav_file_sink(void* user, const int16_t* data, uint32_t frames) {
  wav_file_write(static_cast<wav_file*>(user), data, frames);
}

music_virtual_output wav_file_output(wav_file* wav) {
  return music_virtual_output{.samples = wav_file_sink, .user = wav};
}
