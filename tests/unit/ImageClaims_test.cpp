// What image headers claim, read without a display or a decoder: tiny files of every
// format whose header gives a size, and claims the file or the memory cannot back.
#include "ImageClaims.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>

#include "ImageBytes.h"
#include "MemoryBudget.h"

namespace {

using image_test::BmpHeader;
using image_test::Be32;
using image_test::Put16;
using image_test::Put32;

class ImageClaimsTest : public ::testing::Test {
 protected:
  void TearDown() override {
    if (file_ != nullptr) fclose(file_);
    std::remove(path_.c_str());
  }

  // Writes `bytes` as `name`, and reads its kind and claim; the failure's reason, if any.
  std::string Claim(const std::string& name, const std::string& bytes) {
    if (file_ != nullptr) fclose(file_);
    path_ = ::testing::TempDir() + "image_claims_" + name;
    std::ofstream(path_, std::ios::binary | std::ios::trunc) << bytes;
    file_ = fopen(path_.c_str(), "rb");
    kind_ = SniffImage(file_, path_.c_str());
    claim_ = ImageClaim{};
    Status status = ReadImageClaim(file_, kind_, claim_);
    if (status.ok()) status = CheckClaimedSize(claim_);
    if (status.ok()) status = CheckFileHoldsClaim(kind_, claim_, FileBytes(file_));
    return status.reason();
  }

  std::string path_;
  FILE* file_ = nullptr;
  ImageKind kind_ = ImageKind::kOther;
  ImageClaim claim_;
};

// Tiny files claiming 16000 x 16000 pixels in every format whose header gives a size: the
// claim is read, and 14 bytes a pixel do not fit into 2 GB.
TEST_F(ImageClaimsTest, SizesFromEveryHeaderAreCheckedAgainstTheMemory) {
  std::string gif = "GIF89a", tga = std::string("\0\0\2", 3) + std::string(9, '\0'), tiff = "II*";
  Put16(gif, 16000);
  Put16(gif, 16000);
  gif += std::string("\0\0\0;", 4);
  Put16(tga, 16000);
  Put16(tga, 16000);
  tga += std::string("\x18\0", 2);
  tiff += std::string("\0\x08\0\0\0\x02\0", 7);  // the directory at 8, with two entries
  for (uint16_t tag : {256, 257}) {
    Put16(tiff, tag);
    Put16(tiff, 3);  // SHORT
    Put32(tiff, 1);
    Put32(tiff, 16000);
  }
  Put32(tiff, 0);
  const std::pair<const char*, std::string> files[] = {
      {"claim.xcf", "gimp xcf file" + std::string(1, '\0') + Be32(16000) + Be32(16000) + Be32(0)},
      {"claim.svg", "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"16000\" height=\"16000\"></svg>"},
      {"claim.tif", tiff},
      {"claim.gif", gif},
      {"claim.tga", tga},
      {"claim.pgm", "P5 16000 16000 255\n"}};
  memory::SetAvailableForTesting(2000000000);
  for (const auto& [name, bytes] : files) {
    EXPECT_EQ(Claim(name, bytes), "") << name;
    EXPECT_EQ(claim_.width, 16000) << name;
    EXPECT_EQ(claim_.height, 16000) << name;
    char msg[255];
    EXPECT_FALSE(ClaimFitsMemory(claim_, path_.c_str(), msg, sizeof msg)) << name;
    EXPECT_EQ(std::string(msg),
              "The file " + path_ + " would need 3.6 GB for its 16000 x 16000 pixels; this machine has 2.0 GB free.");
  }
  memory::SetAvailableForTesting(-1);
  // An SVG without a size gives none; the decoder's guard deals with it.
  EXPECT_EQ(Claim("unsized.svg", "<svg xmlns=\"http://www.w3.org/2000/svg\"><rect/></svg>"), "");
  EXPECT_FALSE(claim_.SizeKnown());
}

// Headers that promise more than their file holds, or nothing at all.
TEST_F(ImageClaimsTest, ClaimsTheFileCannotBackAreRefused) {
  const std::string png = std::string("\x89PNG\r\n\x1a\n", 8) + Be32(13) + "IHDR" + Be32(8000) + Be32(8000) +
                          std::string("\x08\x02\0\0\0", 5) + Be32(0) + std::string(20, '\0');
  EXPECT_EQ(Claim("bomb.png", png), "It holds 53 bytes, far too few for the 8000 x 8000 pixels its header promises.");
  EXPECT_EQ(kind_, ImageKind::kPng);
  // Start of image, an application segment to walk past, then a frame of 9000 x 7000.
  const char frame[] = {'\xFF', '\xD8', '\xFF', '\xE0', 0, 4, 'a', 'b', '\xFF', '\xC0', 0, 0x11, 8, 0x1B, 0x58, 0x23, 0x28};
  EXPECT_EQ(Claim("bomb.jpg", std::string(frame, sizeof frame) + std::string(12, '\0')),
            "It holds 29 bytes, far too few for the 9000 x 7000 pixels its header promises.");
  // 16,777,216 pixels from 4,106 bytes of runs; 128 pixels a byte at the most.
  EXPECT_EQ(Claim("dense_rle.bmp", BmpHeader(4096, 4096, 8, kBiRle8, 2) + std::string(8 + 4106, '\1')),
            "It holds 4106 bytes of run-length coded pixel data, far too few for the 4096 x 4096 pixels its header "
            "promises.");
  EXPECT_EQ(Claim("ok_rle.bmp", BmpHeader(4096, 4096, 8, kBiRle8, 2) + std::string(8 + 131072, '\1')), "");
  EXPECT_EQ(Claim("short_row.bmp", BmpHeader(3, -2, 24, kBiRgb) + std::string(23, '\7')),
            "It holds 23 bytes of pixel data, but its header promises 3 x 2 pixels of 24 bits (24 bytes).");
  EXPECT_EQ(Claim("full_rows.bmp", BmpHeader(3, -2, 24, kBiRgb) + std::string(24, '\7')), "");
  EXPECT_EQ(Claim("no_columns.bmp", BmpHeader(0, 4, 24, kBiRgb)), "Its header claims an impossible size (0 x 4 pixels).");
  EXPECT_EQ(Claim("stub.bmp", BmpHeader(4, 4, 24, kBiRgb).substr(0, 20)), "It ends inside its BMP header, after 20 bytes.");
  EXPECT_EQ(Claim("empty.xcf", std::string("gimp xcf file\0", 14) + std::string(8, '\0')),
            "Its header claims an impossible size (0 x 0 pixels).");
}

// A TGA has no signature: its header's fields, or the name's ending, make it one.
TEST_F(ImageClaimsTest, KindsFromTheFirstBytes) {
  std::string tga = std::string("\0\0\2", 3) + std::string(9, '\0');
  Put16(tga, 16);
  Put16(tga, 12);
  tga += std::string("\x18\0", 2);
  Claim("picture.image", tga);
  EXPECT_EQ(kind_, ImageKind::kTga);
  Claim("noise.tga", "not an image header at all");
  EXPECT_EQ(kind_, ImageKind::kTga);
  Claim("noise.image", "not an image header at all");
  EXPECT_EQ(kind_, ImageKind::kOther);
  Claim("qoi.img", "qoif" + Be32(7) + Be32(5));
  EXPECT_EQ(kind_, ImageKind::kQoi);
  EXPECT_EQ(claim_.width * 10 + claim_.height, 75);
}

}  // namespace
