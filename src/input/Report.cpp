#include "Report.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "Status.h"

void WriteReport(char* out, size_t size, const char* prefix, const char* path, const char* suffix) {
  const size_t fixed = strlen(prefix) + strlen(suffix);
  const size_t len = strlen(path);
  if (fixed + len < size) {
    snprintf(out, size, "%s%s%s", prefix, path, suffix);
    return;
  }
  static const char kEllipsis[] = "...";
  const size_t ellipsis = sizeof kEllipsis - 1;
  if (fixed + ellipsis >= size) {  // no room for any of the path: snprintf cuts the end
    snprintf(out, size, "%s%s%s", prefix, kEllipsis, suffix);
    return;
  }
  const size_t keep = size - 1 - fixed - ellipsis;
  size_t head = keep / 2;
  size_t tail = len - (keep - head);
  // Cut between characters, not inside a UTF-8 sequence.
  while (head > 0 && (static_cast<unsigned char>(path[head]) & 0xC0) == 0x80) --head;
  while (tail < len && (static_cast<unsigned char>(path[tail]) & 0xC0) == 0x80) ++tail;
  snprintf(out, size, "%s%.*s%s%s%s", prefix, static_cast<int>(head), path, kEllipsis, path + tail, suffix);
}

void AddNote(const ReportLines& out, const char* format, ...) {
  size_t used = strlen(out.note);
  if (used > 0 && used + 1 < out.size) out.note[used++] = '\n';
  if (used + 1 >= out.size) return;
  va_list args;
  va_start(args, format);
  vsnprintf(out.note + used, out.size - used, format, args);
  va_end(args);
}

void ReportFileFault(char* out, size_t size, const char* path, const char* format, ...) {
  char suffix[128];  // our own texts are far shorter, leaving >= 100 bytes for the path
  suffix[0] = ' ';
  va_list args;
  va_start(args, format);
  vsnprintf(suffix + 1, sizeof suffix - 1, format, args);
  va_end(args);
  WriteReport(out, size, "The file ", path, suffix);
}

void ReportRefusal(char* out, size_t size, const char* path, const Status& refusal) {
  ReportFileFault(out, size, path, "%s", refusal.reason().c_str());
}
