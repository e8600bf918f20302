// Buffered byte input over an open file of the file layer, for the picture
// readers that take their data a byte at a time. Unlike the single-value file
// reads it reports the end of the file, so decoders can stop there.
#pragma once

#include "vfs.h"

#include <cstdint>

constexpr int32_t BYTE_READER_BUFFER = 4096;

struct byte_reader {
  vfs_file* file;
  int32_t position; // next byte in buffer
  int32_t length;   // bytes held in buffer
  int32_t at_end;   // the file has no more bytes
  int64_t consumed; // position in the file after the buffered bytes
  uint8_t buffer[BYTE_READER_BUFFER];
};

void byte_reader_init(byte_reader* reader, vfs_file* file);
// Refills the buffer; 0 when the file has no more bytes.
int byte_reader_fill(byte_reader* reader);

// Takes one byte; 0 at the end of the file (out is then 0).
inline int byte_reader_get(byte_reader* reader, uint8_t* out) {
  if (reader->position >= reader->length && !byte_reader_fill(reader)) {
    *out = 0;
    return 0;
  }
  *out = reader->buffer[reader->position++];
  return 1;
}

// The byte taken, or 0 at the end of the file.
inline uint8_t byte_reader_u8(byte_reader* reader) {
  uint8_t b;
  byte_reader_get(reader, &b);
  return b;
}

// A little-endian 16-bit value; missing bytes count as 0.
uint32_t byte_reader_u16(byte_reader* reader);

// Copies up to count bytes; returns how many were there.
int32_t byte_reader_read(byte_reader* reader, void* dst, int32_t count);

// Skips up to count bytes; returns how many were there.
int32_t byte_reader_skip(byte_reader* reader, int32_t count);

// Gives back the byte just taken, so the next get returns it again.
void byte_reader_unget(byte_reader* reader);

// Bytes of the file not yet taken (from the file's size as its device reports it).
int64_t byte_reader_left(const byte_reader* reader);
