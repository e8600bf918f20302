#include "soundtrack_xm.h"

#include <cstring>

namespace {

struct txm_in {
  const std::vector<uint8_t>& b;
  size_t at = 0;
  bool bad = false;
  bool need(size_t n) {
    if (at > b.size() || b.size() - at < n)
      bad = true;
    return !bad;
  }
  uint32_t u8() { return need(1) ? b[at++] : 0; }
  uint32_t u16() {
    const uint32_t lo = u8();
    return lo | (u8() << 8);
  }
  uint32_t u32() {
    const uint32_t lo = u16();
    return lo | (u16() << 16);
  }
  std::string text(size_t n) {
    if (!need(n))
      return "";
    std::string s(reinterpret_cast<const char*>(b.data() + at), n);
    at += n;
    return s.substr(0, s.find('\0'));
  }
};

int txm_fail(std::string* error, const std::string& why) {
  if (error)
    *error = why;
  return 0;
}

} // namespace

int txm_read(const std::vector<uint8_t>& bytes, txm_song* song, std::string* error) {
  txm_in in{bytes};
  *song = txm_song{};
  if (in.text(17) != "Extended Module: ")
    return txm_fail(error, "not an XM song");
  song->name = in.text(20);
  in.u8();
  in.text(20);
  in.u16(); // version
  const size_t header_at = in.at;
  const uint32_t header_size = in.u32();
  const uint32_t length = in.u16();
  song->restart = int32_t(in.u16());
  song->channels = int32_t(in.u16());
  const uint32_t patterns = in.u16();
  const uint32_t instruments = in.u16();
  in.u16(); // flags
  song->speed = int32_t(in.u16());
  song->tempo = int32_t(in.u16());
  if (in.bad || length == 0 || length > 256 || song->channels < 1 || song->channels > 32)
    return txm_fail(error, "bad header");
  for (uint32_t i = 0; i < 256; i++) {
    const uint32_t o = in.u8();
    if (i < length)
      song->orders.push_back(int32_t(o));
  }
  in.at = header_at + header_size;
  for (uint32_t p = 0; p < patterns; p++) {
    const size_t start = in.at;
    const uint32_t head = in.u32();
    in.u8();
    txm_pattern pat;
    pat.rows = int32_t(in.u16());
    const uint32_t packed = in.u16();
    in.at = start + head;
    if (in.bad || pat.rows < 1 || pat.rows > 256 || !in.need(packed))
      return txm_fail(error, "bad pattern " + std::to_string(p));
    const size_t end = in.at + packed;
    pat.cells.assign(size_t(pat.rows) * size_t(song->channels), txm_cell{});
    for (txm_cell& c : pat.cells) {
      if (packed == 0)
        break;
      uint32_t mask = in.u8();
      uint8_t f[5] = {};
      if (mask & 0x80) {
        for (int i = 0; i < 5; i++)
          if (mask & (1u << i))
            f[i] = uint8_t(in.u8());
      } else {
        f[0] = uint8_t(mask);
        for (int i = 1; i < 5; i++)
          f[i] = uint8_t(in.u8());
      }
      c = {f[0], f[1], f[2], f[3], f[4]};
    }
    if (in.bad || in.at != end)
      return txm_fail(error, "pattern " + std::to_string(p) + " does not fill its rows");
    song->patterns.push_back(std::move(pat));
  }
  for (uint32_t i = 0; i < instruments; i++) {
    const size_t start = in.at;
    const uint32_t size = in.u32();
    txm_instrument ins;
    ins.name = in.text(22);
    in.u8();
    const uint32_t count = in.u16();
    if (in.bad || count > 16)
      return txm_fail(error, "bad instrument " + std::to_string(i));
    if (count > 0) {
      in.at = start + 225;
      ins.envelope_points = int32_t(in.u8());
      in.at = start + 233;
      ins.volume_envelope = (in.u8() & 1) != 0;
    }
    in.at = start + size;
    for (uint32_t s = 0; s < count; s++) {
      txm_sample sm;
      const uint32_t bytes_long = in.u32();
      const uint32_t loop_start = in.u32(), loop_length = in.u32();
      sm.volume = int32_t(in.u8());
      sm.finetune = int32_t(int8_t(in.u8()));
      const uint32_t type = in.u8();
      in.u8();
      sm.relative_note = int32_t(int8_t(in.u8()));
      in.u8();
      in.text(22);
      sm.bits = (type & 0x10) ? 16 : 8;
      const uint32_t unit = sm.bits / 8;
      sm.length = bytes_long / unit;
      sm.loop_start = loop_start / unit;
      sm.loop_length = loop_length / unit;
      sm.loop_type = int32_t(type & 3);
      ins.samples.push_back(sm);
    }
    for (const txm_sample& sm : ins.samples)
      if (!in.need(size_t(sm.length) * size_t(sm.bits / 8)))
        return txm_fail(error, "sample data of " + ins.name + " cut short");
      else
        in.at += size_t(sm.length) * size_t(sm.bits / 8);
    song->instruments.push_back(std::move(ins));
  }
  if (in.bad)
    return txm_fail(error, "cut short");
  for (int32_t o : song->orders)
    if (o >= int32_t(song->patterns.size()))
      return txm_fail(error, "order refers to a missing pattern");
  return 1;
}

const txm_pattern& txm_order_pattern(const txm_song& song, int32_t order) {
  return song.patterns[size_t(song.orders[size_t(order)])];
}

const txm_cell& txm_at(const txm_song& song, int32_t order, int32_t row, int32_t channel) {
  return txm_order_pattern(song, order).cells[size_t(row) * size_t(song.channels) + size_t(channel)];
}

int32_t txm_instrument_named(const txm_song& song, const std::string& name) {
  for (size_t i = 0; i < song.instruments.size(); i++)
    if (song.instruments[i].name == name)
      return int32_t(i + 1);
  return 0;
}
