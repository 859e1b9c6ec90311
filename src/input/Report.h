// The one-line reports that the loaders leave in their message buffers.
#pragma once

#include <cstddef>

// Writes prefix + path + suffix into `out` (`size` bytes, terminator included). A path too
// long for the room left is cut in its middle with "...", so the report always fits and
// still shows where the path starts and ends.
void WriteReport(char* out, size_t size, const char* prefix, const char* path, const char* suffix);

// Where a loader leaves its lines, `size` bytes each: the report, the reason that says
// what to mend (or a warning), and a note for before the report.
struct ReportLines {
  char* msg;
  char* reason;
  char* note;
  size_t size;
};

// Adds a line to the note, after any it already holds.
__attribute__((format(printf, 2, 3))) void AddNote(const ReportLines& out, const char* format, ...);

class Status;

// "The file PATH " followed by a formatted explanation, itself cut at 127 bytes.
__attribute__((format(printf, 4, 5))) void ReportFileFault(char* out, size_t size, const char* path,
                                                           const char* format, ...);

// "The file PATH " followed by the refusal's reason.
void ReportRefusal(char* out, size_t size, const char* path, const Status& refusal);
