#include "xm_writer.h"

#include <cstdio>

namespace {

struct xm_bytes {
  std::vector<uint8_t>* out;
  void u8(uint32_t v) { out->push_back(uint8_t(v)); }
  void u16(uint32_t v) {
    u8(v & 0xFF);
    u8((v >> 8) & 0xFF);
  }
  void u32(uint32_t v) {
    u16(v & 0xFFFF);
    u16(v >> 16);
  }
  // Fixed-width text field padded with zero bytes.
  void text(const std::string& s, size_t width) {
    for (size_t i = 0; i < width; i++)
      u8(i < s.size() ? uint8_t(s[i]) : 0);
  }
  void zeros(size_t n) { out->insert(out->end(), n, 0); }
};

bool xm_fail(std::string* error, const std::string& message) {
  if (error)
    *error = message;
  return false;
}

bool xm_check_envelope(const xm_envelope& env, const char* what, std::string* error) {
  if (env.points.size() > 12)
    return xm_fail(error, std::string(what) + " envelope has more than 12 points");
  for (size_t i = 0; i < env.points.size(); i++) {
    if (env.points[i].y > 64)
      return xm_fail(error, std::string(what) + " envelope value above 64");
    if (i > 0 && env.points[i].x <= env.points[i - 1].x)
      return xm_fail(error, std::string(what) + " envelope ticks must rise");
  }
  if ((env.flags & XM_ENVELOPE_ON) && env.points.empty())
    return xm_fail(error, std::string(what) + " envelope is on but has no points");
  const size_t n = env.points.size();
  if ((env.flags & XM_ENVELOPE_SUSTAIN) && env.sustain >= n)
    return xm_fail(error, std::string(what) + " envelope sustain point out of range");
  if ((env.flags & XM_ENVELOPE_LOOP) && (env.loop_start > env.loop_end || env.loop_end >= n))
    return xm_fail(error, std::string(what) + " envelope loop out of range");
  return true;
}

bool xm_check(const xm_song& song, std::string* error) {
  if (song.name.size() > 20 || song.tracker.size() > 20)
    return xm_fail(error, "song or tracker name longer than 20 bytes");
  if (song.channels < 1 || song.channels > 32)
    return xm_fail(error, "channel count must be 1..32");
  if (song.orders.empty() || song.orders.size() > 256)
    return xm_fail(error, "order count must be 1..256");
  if (song.restart >= song.orders.size())
    return xm_fail(error, "restart position beyond the order list");
  if (song.patterns.empty() || song.patterns.size() > 256)
    return xm_fail(error, "pattern count must be 1..256");
  if (song.speed < 1 || song.speed > 31)
    return xm_fail(error, "speed must be 1..31");
  if (song.tempo < 32 || song.tempo > 255)
    return xm_fail(error, "tempo must be 32..255");
  for (uint8_t o : song.orders)
    if (o >= song.patterns.size())
      return xm_fail(error, "order refers to a missing pattern");
  if (song.instruments.size() > 128)
    return xm_fail(error, "more than 128 instruments");
  for (const xm_pattern& p : song.patterns) {
    if (p.rows < 1 || p.rows > 256)
      return xm_fail(error, "pattern rows must be 1..256");
    if (p.cells.size() != size_t(p.rows) * song.channels)
      return xm_fail(error, "pattern cell count is not rows x channels");
    for (const xm_cell& c : p.cells) {
      if (c.note > XM_NOTE_OFF)
        return xm_fail(error, "note out of range");
      if (c.instrument > song.instruments.size())
        return xm_fail(error, "cell refers to a missing instrument");
      if (c.effect > 0x23)
        return xm_fail(error, "effect type out of range");
    }
  }
  for (const xm_instrument& ins : song.instruments) {
    if (ins.name.size() > 22)
      return xm_fail(error, "instrument name longer than 22 bytes");
    if (ins.samples.size() > 16)
      return xm_fail(error, "more than 16 samples in an instrument");
    for (uint8_t m : ins.sample_map)
      if (!ins.samples.empty() && m >= ins.samples.size())
        return xm_fail(error, "sample map refers to a missing sample");
    if (!xm_check_envelope(ins.volume_envelope, "volume", error) ||
        !xm_check_envelope(ins.panning_envelope, "panning", error))
      return false;
    if (ins.fadeout > 0xFFF)
      return xm_fail(error, "fadeout above 0xFFF");
    for (const xm_sample& s : ins.samples) {
      if (s.name.size() > 22)
        return xm_fail(error, "sample name longer than 22 bytes");
      if (s.bits != 8 && s.bits != 16)
        return xm_fail(error, "sample bits must be 8 or 16");
      if (s.volume > 64)
        return xm_fail(error, "sample volume above 64");
      if (s.loop_type > XM_LOOP_PINGPONG)
        return xm_fail(error, "unknown loop type");
      // Byte lengths are 32-bit in the file.
      if (s.data.size() > (s.bits == 16 ? 0x7FFFFFFFu : 0xFFFFFFFFu))
        return xm_fail(error, "sample too long");
      const uint64_t loop_end = uint64_t(s.loop_start) + s.loop_length;
      if (s.loop_type != XM_LOOP_NONE && (s.loop_length == 0 || loop_end > s.data.size()))
        return xm_fail(error, "sample loop outside the sample");
      if (s.bits == 8)
        for (int16_t v : s.data)
          if (v < -128 || v > 127)
            return xm_fail(error, "8-bit sample value out of range");
    }
  }
  return true;
}

void xm_write_pattern(xm_bytes& b, const xm_pattern& p) {
  std::vector<uint8_t> packed;
  xm_bytes pb{&packed};
  for (const xm_cell& c : p.cells) {
    const uint8_t fields[5] = {c.note, c.instrument, c.volume, c.effect, c.param};
    uint8_t mask = 0;
    for (int i = 0; i < 5; i++)
      if (fields[i])
        mask |= uint8_t(1 << i);
    if (mask == 0x1F) {
      for (uint8_t f : fields)
        pb.u8(f);
    } else {
      pb.u8(0x80 | mask);
      for (int i = 0; i < 5; i++)
        if (fields[i])
          pb.u8(fields[i]);
    }
  }
  b.u32(9); // pattern header length
  b.u8(0);  // packing type
  b.u16(p.rows);
  b.u16(uint32_t(packed.size()));
  b.out->insert(b.out->end(), packed.begin(), packed.end());
}

void xm_write_envelope_points(xm_bytes& b, const xm_envelope& env) {
  for (size_t i = 0; i < 12; i++) {
    b.u16(i < env.points.size() ? env.points[i].x : 0);
    b.u16(i < env.points.size() ? env.points[i].y : 0);
  }
}

void xm_write_instrument(xm_bytes& b, const xm_instrument& ins) {
  const bool has_samples = !ins.samples.empty();
  b.u32(has_samples ? 263 : 29); // instrument header size
  b.text(ins.name, 22);
  b.u8(0); // type
  b.u16(uint32_t(ins.samples.size()));
  if (!has_samples)
    return;
  b.u32(40); // sample header size
  for (uint8_t m : ins.sample_map)
    b.u8(m);
  xm_write_envelope_points(b, ins.volume_envelope);
  xm_write_envelope_points(b, ins.panning_envelope);
  b.u8(uint32_t(ins.volume_envelope.points.size()));
  b.u8(uint32_t(ins.panning_envelope.points.size()));
  b.u8(ins.volume_envelope.sustain);
  b.u8(ins.volume_envelope.loop_start);
  b.u8(ins.volume_envelope.loop_end);
  b.u8(ins.panning_envelope.sustain);
  b.u8(ins.panning_envelope.loop_start);
  b.u8(ins.panning_envelope.loop_end);
  b.u8(ins.volume_envelope.flags);
  b.u8(ins.panning_envelope.flags);
  b.u8(ins.vibrato_type);
  b.u8(ins.vibrato_sweep);
  b.u8(ins.vibrato_depth);
  b.u8(ins.vibrato_rate);
  b.u16(ins.fadeout);
  b.zeros(22); // reserved
  for (const xm_sample& s : ins.samples) {
    const uint32_t unit = s.bits == 16 ? 2 : 1;
    const bool looped = s.loop_type != XM_LOOP_NONE;
    b.u32(uint32_t(s.data.size()) * unit);
    b.u32(looped ? s.loop_start * unit : 0);
    b.u32(looped ? s.loop_length * unit : 0);
    b.u8(s.volume);
    b.u8(uint8_t(s.finetune));
    b.u8((looped ? s.loop_type : 0) | (s.bits == 16 ? 0x10 : 0));
    b.u8(s.panning);
    b.u8(uint8_t(s.relative_note));
    b.u8(0); // reserved
    b.text(s.name, 22);
  }
  // Sample data, each value stored as the difference from the one before.
  for (const xm_sample& s : ins.samples) {
    int32_t previous = 0;
    for (int16_t v : s.data) {
      const int32_t delta = int32_t(v) - previous;
      previous = v;
      if (s.bits == 16)
        b.u16(uint32_t(delta) & 0xFFFF);
      else
        b.u8(uint32_t(delta) & 0xFF);
    }
  }
}

} // namespace

xm_pattern xm_pattern_make(uint16_t rows, uint16_t channels) {
  xm_pattern p;
  p.rows = rows;
  p.cells.assign(size_t(rows) * channels, xm_cell{});
  return p;
}

xm_cell& xm_pattern_cell(xm_pattern& pattern, uint16_t channels, uint16_t row, uint16_t channel) {
  return pattern.cells[size_t(row) * channels + channel];
}

int xm_writer_encode(const xm_song& song, std::vector<uint8_t>* out, std::string* error) {
  if (!out)
    return xm_fail(error, "no output");
  if (!xm_check(song, error))
    return 0;
  out->clear();
  xm_bytes b{out};
  b.text("Extended Module: ", 17);
  b.text(song.name, 20);
  b.u8(0x1A);
  b.text(song.tracker, 20);
  b.u16(0x0104); // format version
  b.u32(276);    // header size, counted from this field
  b.u16(uint32_t(song.orders.size()));
  b.u16(song.restart);
  b.u16(song.channels);
  b.u16(uint32_t(song.patterns.size()));
  b.u16(uint32_t(song.instruments.size()));
  b.u16(song.linear_frequencies ? 1 : 0);
  b.u16(song.speed);
  b.u16(song.tempo);
  for (size_t i = 0; i < 256; i++)
    b.u8(i < song.orders.size() ? song.orders[i] : 0);
  for (const xm_pattern& p : song.patterns)
    xm_write_pattern(b, p);
  for (const xm_instrument& ins : song.instruments)
    xm_write_instrument(b, ins);
  return 1;
}

int xm_writer_write(const char* path, const xm_song& song, std::string* error) {
  std::vector<uint8_t> bytes;
  if (!xm_writer_encode(song, &bytes, error))
    return 0;
  if (!path)
    return xm_fail(error, "no path");
  std::FILE* f = std::fopen(path, "wb");
  if (!f)
    return xm_fail(error, std::string("cannot create ") + path);
  const size_t written = std::fwrite(bytes.data(), 1, bytes.size(), f);
  const int closed = std::fclose(f);
  if (written != bytes.size() || closed != 0)
    return xm_fail(error, std::string("cannot write ") + path);
  return 1;
}
