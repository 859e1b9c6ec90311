#include "FileText.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

ReadResult StartText(const struct stat& info, FileText& text) {
  text.growable = !(S_ISREG(info.st_mode) && info.st_size > 0);
  const auto size = text.growable ? 1ull << 16 : static_cast<unsigned long long>(info.st_size);
  if (size >= SIZE_MAX - kPadding) return ReadResult::kNoMemory;
  text.capacity = static_cast<size_t>(size);
  text.bytes = static_cast<char*>(malloc(text.capacity + kPadding));
  if (!text.bytes) return ReadResult::kNoMemory;
  memset(text.bytes, 0, kPadding);
  return ReadResult::kOk;
}

ReadResult ReadUpTo(FILE* file, FileText& text, size_t upto) {
  while (!text.complete && text.size < upto) {
    if (text.size == text.capacity) {
      if (!text.growable) {
        text.complete = true;
        break;
      }
      if (text.capacity > SIZE_MAX / 4) return ReadResult::kNoMemory;
      char* grown = static_cast<char*>(realloc(text.bytes, 2 * text.capacity + kPadding));
      if (!grown) return ReadResult::kNoMemory;
      text.bytes = grown;
      text.capacity *= 2;
    }
    const size_t want = std::min(upto, text.capacity) - text.size;
    const size_t got = fread(text.bytes + text.size, 1, want, file);
    text.size += got;
    if (got < want) {
      if (ferror(file)) return ReadResult::kError;
      text.complete = true;
    }
  }
  memset(text.bytes + text.size, 0, kPadding);
  return ReadResult::kOk;
}
