#include "AsciiHeader.h"

#include <strings.h>

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "GridChecks.h"

namespace ascii {

void ScaleNoData(NoData& nodata, double per_metre) {
  const NoDataHeight height = ScaleNoDataValue(nodata.value, per_metre);
  nodata.integral = height.integral;
  nodata.rounded = height.rounded;
}

namespace {

// Takes the next header line as fgets would: up to 255 bytes, through the newline.
bool NextLine(const FileText& text, size_t& pos, char (&line)[kLineMax + 1]) {
  if (pos >= text.size) return false;
  size_t n = 0;
  while (n < kLineMax && pos < text.size) {
    const char c = text.bytes[pos++];
    line[n++] = c;
    if (c == '\n') break;
  }
  line[n] = '\0';
  return true;
}

__attribute__((format(printf, 3, 4))) void NoteFault(HeaderFault& fault, int line, const char* format, ...) {
  if (fault.line != 0) return;  // the first fault is the one to mend
  fault.line = line;
  const int n = snprintf(fault.text, sizeof fault.text, "line %d: ", line);
  va_list args;
  va_start(args, format);
  vsnprintf(fault.text + n, sizeof fault.text - n, format, args);
  va_end(args);
}

// The first word at p, quoted and cut short, unprintable bytes shown as '?'; or what
// stands there instead of a word.
void DescribeWord(const char* p, char (&out)[48]) {
  while (*p == ' ' || *p == '\t') ++p;
  if (*p == '\0' || *p == '\n' || *p == '\r') {
    snprintf(out, sizeof out, "%s", "nothing");
    return;
  }
  size_t n = 0;
  out[n++] = '\'';
  constexpr size_t kLongest = 32;
  size_t taken = 0;
  for (; *p != '\0' && !IsBlankOrEnd(*p) && taken < kLongest; ++p, ++taken)
    out[n++] = (*p >= 0x20 && *p < 0x7f) ? *p : '?';
  if (!IsBlankOrEnd(*p)) {
    out[n++] = '.';
    out[n++] = '.';
    out[n++] = '.';
  }
  out[n++] = '\'';
  out[n] = '\0';
}

// The line opens with the keyword; otherwise the fault says what stood there instead.
bool KeywordOpens(const char* line, int number, const char* keyword, HeaderFault& fault) {
  if (strncmp(line, keyword, strlen(keyword)) == 0) return true;
  char found[48];
  DescribeWord(line, found);
  if (line[0] == '\0')
    NoteFault(fault, number, "expected '%s', found the end of the file", keyword);
  else if (strstr(line, keyword) != nullptr)
    NoteFault(fault, number, "expected '%s' at the start of the line, found %s", keyword, found);
  else
    NoteFault(fault, number, "expected '%s', found %s", keyword, found);
  return false;
}

// "ncols 403": the keyword, optional blanks, then a decimal count that ends at a blank or
// the line's end. Leading zeros do not make it octal, and "0x4" is no count.
bool ParseCountLine(const char* line, int number, const char* keyword, long long& value, HeaderFault& fault) {
  if (!KeywordOpens(line, number, keyword, fault)) return false;
  const char* after = line + strlen(keyword);
  char* end;
  value = strtoll(after, &end, 10);  // out-of-range counts saturate and fail later checks
  if (end != after && IsBlankOrEnd(*end)) return true;
  char found[48];
  DescribeWord(after, found);
  NoteFault(fault, number, "expected a whole number after '%s', found %s", keyword, found);
  return false;
}

bool ParseCellSizeLine(const char* line, int number, float& value, double& written, HeaderFault& fault) {
  if (!KeywordOpens(line, number, "cellsize", fault)) return false;
  const char* after = line + strlen("cellsize");
  char* end;
  value = strtof(after, &end);
  written = strtod(after, nullptr);
  if (end != after) return true;
  char found[48];
  DescribeWord(after, found);
  NoteFault(fault, number, "expected a number after 'cellsize', found %s", found);
  return false;
}

bool IsHexNumber(const char* p) {
  if (*p == '-' || *p == '+') ++p;
  return p[0] == '0' && (p[1] == 'x' || p[1] == 'X');
}

// "NODATA_value -9999": any decimal number, NaN included; the bare keyword names none.
bool ParseNoDataLine(const char* line, int number, NoData& nodata, HeaderFault& fault) {
  if (!KeywordOpens(line, number, "NODATA_value", fault)) return false;
  const char* after = line + strlen("NODATA_value");
  const char* p = after;
  while (IsSpace(*p)) ++p;
  if (*p == '\0') return true;
  char* end;
  const double value = strtod(p, &end);
  if (end == p || !IsBlankOrEnd(*end) || IsHexNumber(p)) {
    char found[48];
    DescribeWord(after, found);
    NoteFault(fault, number, "expected a number after 'NODATA_value', found %s", found);
    return false;
  }
  nodata.present = true;
  nodata.value = value;
  ScaleNoData(nodata, 1.0);
  return true;
}

// Lines 3 and 4 are not checked; their number is read when it follows a keyword, and a
// keyword ending in "center" or "centre" places the corner cell's centre.
bool ParseCornerLine(const char* line, double& value, bool& centre) {
  const char* p = line;
  while (*p == '_' || (*p >= 'a' && *p <= 'z') || (*p >= 'A' && *p <= 'Z')) ++p;
  if (p == line) return false;
  const std::string keyword(line, p);
  const size_t n = keyword.size();
  centre = n >= 6 && (strcasecmp(keyword.c_str() + n - 6, "center") == 0 ||
                      strcasecmp(keyword.c_str() + n - 6, "centre") == 0);
  char* end;
  value = strtod(p, &end);
  return end != p && IsBlankOrEnd(*end) && std::isfinite(value);
}

}  // namespace

bool ReadHeader(const FileText& text, size_t& pos, Header& header, HeaderFault& fault) {
  char line[kLineMax + 1];
  auto next = [&]() {
    if (!NextLine(text, pos, line)) line[0] = '\0';
    return line;
  };
  bool valid = ParseCountLine(next(), 1, "ncols", header.cols, fault);
  valid = ParseCountLine(next(), 2, "nrows", header.rows, fault) && valid;
  // The grid's position is not kept; the lines must only be there. Their numbers tell
  // whether the cell size can be in degrees.
  bool corner_known = true;
  for (int number : {3, 4}) {
    const char* text = next();
    if (text[0] == '\0') {
      NoteFault(fault, number, "expected the grid's %s corner, found the end of the file",
                number == 3 ? "x" : "y");
      valid = false;
    }
    bool centre = false;
    corner_known = ParseCornerLine(text, number == 3 ? header.corner_x : header.corner_y, centre) && corner_known;
    header.corner_is_centre = header.corner_is_centre || centre;
  }
  header.corner_known = corner_known;
  valid = ParseCellSizeLine(next(), 5, header.cellsize, header.cellsize_written, fault) && valid;
  valid = ParseNoDataLine(next(), 6, header.nodata, fault) && valid;
  return valid;
}

}  // namespace ascii
