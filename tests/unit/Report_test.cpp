// Reports always fit their buffer and keep both ends of a path that is too long.
#include "Report.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(WriteReport, FitsOrShortensThePathInItsMiddle) {
  char out[16];
  WriteReport(out, sizeof out, "A ", "abcdefghijk", " z");  // 15 characters: just fits
  EXPECT_STREQ(out, "A abcdefghijk z");

  WriteReport(out, sizeof out, "A ", "abcdefghijklm", " z");  // 17: cut to 15
  EXPECT_STREQ(out, "A abcd...jklm z");
}

TEST(WriteReport, NeverSplitsAUtf8Character) {
  char out[16];
  // "é" is two bytes; a cut after its first byte would leave half a character.
  WriteReport(out, sizeof out, "A ", "abc\xc3\xa9" "efghijklm", " z");
  EXPECT_STREQ(out, "A abc...jklm z");
}

TEST(WriteReport, TextsLongerThanTheBufferAreCutAtItsEnd) {
  char out[8];
  std::memset(out, 'x', sizeof out);
  WriteReport(out, sizeof out, "The file ", "p", " was loaded succesfully.");
  EXPECT_EQ(std::strlen(out), sizeof out - 1);
  EXPECT_STREQ(out, "The fil");
}
