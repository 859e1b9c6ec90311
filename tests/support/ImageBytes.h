// Bytes of small image files that tests write: little- and big-endian fields, and the
// header of a BMP.
#pragma once

#include <cstdint>
#include <string>

namespace image_test {

inline void Put16(std::string& s, uint16_t v) { s.append(reinterpret_cast<const char*>(&v), 2); }
inline void Put32(std::string& s, uint32_t v) { s.append(reinterpret_cast<const char*>(&v), 4); }
inline std::string Be32(uint32_t v) { return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)}; }

// The 54 header bytes of a BMP whose pixel data starts right after them (and after
// `palette` colours of four bytes).
inline std::string BmpHeader(int32_t w, int32_t h, int bpp, uint32_t compression, uint32_t palette = 0) {
  std::string s = "BM";
  Put32(s, 0);  // file size and reserved: SDL reads neither
  Put32(s, 0);
  Put32(s, 54 + 4 * palette);
  Put32(s, 40);
  Put32(s, static_cast<uint32_t>(w));
  Put32(s, static_cast<uint32_t>(h));
  Put16(s, 1);
  Put16(s, static_cast<uint16_t>(bpp));
  Put32(s, compression);
  Put32(s, 0);
  Put32(s, 2835);
  Put32(s, 2835);
  Put32(s, palette);
  Put32(s, 0);
  return s;
}

}  // namespace image_test
