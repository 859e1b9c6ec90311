// A buffered writer for the exporters: one fwrite per megabyte, numbers formatted in
// place, the first error kept. Free of GL.
#pragma once

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace mesh_export {

class BufferedFile {
 public:
  explicit BufferedFile(FILE* f) : f_(f), buffer_(new char[kSize]) {}
  BufferedFile(const BufferedFile&) = delete;
  BufferedFile& operator=(const BufferedFile&) = delete;

  void Bytes(const void* p, size_t n) {
    if (used_ + n > kSize) Flush();
    if (n > kSize) {
      Put(p, n);
      return;
    }
    memcpy(buffer_.get() + used_, p, n);
    used_ += n;
  }
  template <class T>
  void Raw(T value) {
    Bytes(&value, sizeof value);
  }
  void Text(const char* s) { Bytes(s, strlen(s)); }
  void Text(const std::string& s) { Bytes(s.data(), s.size()); }
  void Char(char c) {
    if (used_ == kSize) Flush();
    buffer_[used_++] = c;
  }
  // The shortest form that reads back as `value`.
  template <class T>
  void Number(T value) {
    if (used_ + 32 > kSize) Flush();
    used_ = static_cast<size_t>(std::to_chars(buffer_.get() + used_, buffer_.get() + kSize, value).ptr - buffer_.get());
  }
  // `value` rounded to seven decimals, trailing zeros dropped: much faster than the
  // shortest exact form, and finer than a float's step near 1.
  void Fraction(float value);
  // value / 10^decimals, exactly, trailing zeros dropped: "123.45" for 12345 and 2.
  void Decimal(int32_t value, int decimals);

  void Flush() {
    Put(buffer_.get(), used_);
    used_ = 0;
  }
  // The errno of the first failed write, 0 while none failed.
  int error() const { return error_; }

 private:
  void Put(const void* p, size_t n);

  static constexpr size_t kSize = 1 << 20;
  FILE* f_;
  std::unique_ptr<char[]> buffer_;
  size_t used_ = 0;
  int error_ = 0;
};

}  // namespace mesh_export
