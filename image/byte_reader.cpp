#include "byte_reader.h"

#include <cstring>

void byte_reader_init(byte_reader* reader, vfs_file* file) {
  reader->file = file;
  reader->position = 0;
  reader->length = 0;
  reader->at_end = 0;
  const int32_t here = vfs_tell(file);
  reader->consumed = here > 0 ? here : 0;
}

int byte_reader_fill(byte_reader* reader) {
  if (reader->at_end)
    return 0;
  const int32_t got = vfs_read(reader->buffer, 1, BYTE_READER_BUFFER, reader->file);
  reader->position = 0;
  reader->length = got > 0 ? got : 0;
  if (reader->length == 0) {
    reader->at_end = 1;
    return 0;
  }
  reader->consumed += reader->length;
  return 1;
}

uint32_t byte_reader_u16(byte_reader* reader) {
  const uint32_t lo = byte_reader_u8(reader);
  const uint32_t hi = byte_reader_u8(reader);
  return lo | hi << 8;
}

int32_t byte_reader_read(byte_reader* reader, void* dst, int32_t count) {
  uint8_t* out = static_cast<uint8_t*>(dst);
  int32_t done = 0;
  while (done < count) {
    if (reader->position >= reader->length && !byte_reader_fill(reader))
      break;
    int32_t n = reader->length - reader->position;
    if (n > count - done)
      n = count - done;
    std::memcpy(out + done, reader->buffer + reader->position, size_t(n));
    reader->position += n;
    done += n;
  }
  return done;
}

int32_t byte_reader_skip(byte_reader* reader, int32_t count) {
  int32_t done = 0;
  while (done < count) {
    if (reader->position >= reader->length && !byte_reader_fill(reader))
      break;
    int32_t n = reader->length - reader->position;
    if (n > count - done)
      n = count - done;
    reader->position += n;
    done += n;
  }
  return done;
}

void byte_reader_unget(byte_reader* reader) {
  if (reader->position > 0)
    reader->position--;
}

int64_t byte_reader_left(const byte_reader* reader) {
  const int32_t size = vfs_size(reader->file);
  const int64_t here = reader->consumed - (reader->length - reader->position);
  const int64_t left = int64_t(size) - here;
  return left > 0 ? left : 0;
}
