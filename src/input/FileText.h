// A file's whole text in one buffer, read as far as the reader needs it: the header
// first, so a file that is no grid is refused without reading all of it.
#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <cstdio>
#include <cstdlib>

// Zero bytes after the text: one ends it for the scanners, and the 8-byte digit loads
// at its very end stay inside the buffer.
constexpr size_t kPadding = 1 + 8;

// The file's bytes, followed by kPadding zero bytes.
struct FileText {
  char* bytes = nullptr;
  size_t size = 0;        // bytes read so far
  size_t capacity = 0;    // bytes the buffer holds before its padding
  bool complete = false;  // nothing more to read
  bool growable = false;  // size unknown beforehand (pipes, /proc files)
  ~FileText() { free(bytes); }
};

enum class ReadResult { kOk, kError, kNoMemory };

// Sizes the buffer. A regular file gets one buffer of its size, whose pages stay
// untouched until read; a pipe starts small and grows as it is read.
ReadResult StartText(const struct stat& info, FileText& text);

// Reads on until the buffer holds `upto` bytes or the file ends; a regular file is not
// read past the size it had when measured.
ReadResult ReadUpTo(FILE* file, FileText& text, size_t upto);
