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
  // At the tail the cut falls between the two bytes of "é", so all of it goes: the tail
  // starts after it, one byte shorter than the room it had.
  WriteReport(out, sizeof out, "A ", "abcdefghi\xc3\xa9" "klm", " z");
  EXPECT_STREQ(out, "A abcd...klm z");
  // Three- and four-byte characters at the tail cut ("€", U+1F600).
  WriteReport(out, sizeof out, "A ", "abcdefgh\xe2\x82\xac" "lm", " z");
  EXPECT_STREQ(out, "A abcd...lm z");
  WriteReport(out, sizeof out, "A ", "abcdefg\xf0\x9f\x98\x80" "lm", " z");
  EXPECT_STREQ(out, "A abcd...lm z");
}

TEST(WriteReport, TextsLongerThanTheBufferAreCutAtItsEnd) {
  char out[8];
  std::memset(out, 'x', sizeof out);
  WriteReport(out, sizeof out, "The file ", "p", " was loaded succesfully.");
  EXPECT_EQ(std::strlen(out), sizeof out - 1);
  EXPECT_STREQ(out, "The fil");
}
