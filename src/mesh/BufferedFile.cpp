#include "BufferedFile.h"

#include <cerrno>

namespace mesh_export {

void BufferedFile::Fraction(float value) {
  const double scaled = static_cast<double>(value) * 1e7;
  long long tenths = static_cast<long long>(scaled < 0 ? scaled - 0.5 : scaled + 0.5);
  if (tenths < 0) {
    Char('-');
    tenths = -tenths;
  }
  const long long whole = tenths / 10000000;
  if (whole < 10) Char(static_cast<char>('0' + whole));  // normals and texture coordinates
  else Number(whole);
  uint32_t rest = static_cast<uint32_t>(tenths % 10000000);
  if (rest == 0) return;
  // Seven digits, two at a time from the right.
  static constexpr char kPairs[] =
      "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
      "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
      "8081828384858687888990919293949596979899";
  char digits[8] = {'.'};
  for (int k = 6; k >= 2; k -= 2, rest /= 100) memcpy(digits + k, kPairs + 2 * (rest % 100), 2);
  digits[1] = static_cast<char>('0' + rest);
  int length = 8;
  while (digits[length - 1] == '0') --length;
  Bytes(digits, static_cast<size_t>(length));
}

void BufferedFile::Decimal(int32_t value, int decimals) {
  if (decimals == 0) return Number(value);
  char digits[16];
  const bool negative = value < 0;
  uint32_t magnitude = negative ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
  int n = 0;
  for (int k = 0; k < decimals; ++k, magnitude /= 10) digits[n++] = static_cast<char>('0' + magnitude % 10);
  int first = 0;  // trailing zeros of the fraction go
  while (first < decimals && digits[first] == '0') ++first;
  if (negative && (magnitude != 0 || first < decimals)) Char('-');
  Number(magnitude);
  if (first == decimals) return;
  Char('.');
  for (int k = decimals - 1; k >= first; --k) Char(digits[k]);
}

void BufferedFile::Put(const void* p, size_t n) {
  if (n != 0 && fwrite(p, 1, n, f_) != n && error_ == 0) error_ = errno != 0 ? errno : EIO;
}

}  // namespace mesh_export
