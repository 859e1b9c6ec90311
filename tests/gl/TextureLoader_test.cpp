// The texture loader against real Mesa: what reaches the texture, texel by texel. The
// header claims alone are tested without a display in tests/unit/ImageClaims_test.cpp.
//
//   Helpers            - BMP writer and independent decoder, texture read-back, fixture
//   Formats            - PNG, JPEG, 24-, 16-, 8- and 32-bit BMP, TGA, orientation, colours
//   Refusals           - missing files, claims past GL's limit, the file or the memory
//   Memory             - GL out of memory, the decoder's guard, empty images
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <gdal.h>
#include <SDL2/SDL.h>
#include <SDL2/SDL_image.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "Brackenholmer.h"
#include "ImageBytes.h"
#include "MemoryBudget.h"
#include "TextureLoader.h"

namespace {

struct Rgb {
  uint8_t r, g, b;
  bool operator==(const Rgb&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Rgb& c) {
  return os << "(" << int(c.r) << ", " << int(c.g) << ", " << int(c.b) << ")";
}

// An image held top row first, as the viewer expects the texture.
struct Image {
  int w = 0, h = 0;
  std::vector<Rgb> px;
  Rgb at(int x, int y) const { return px[static_cast<size_t>(y) * w + x]; }
};

using image_test::BmpHeader;
using image_test::Be32;
using image_test::Put16;
using image_test::Put32;

// Writes an uncompressed BMP of 16 (5-5-5) or 24 bits per pixel, rows bottom-up.
void WriteBmp(const std::string& path, const Image& img, int bpp) {
  const int row_bytes = ((img.w * bpp / 8) + 3) & ~3;
  std::string s = BmpHeader(img.w, img.h, bpp, 0);
  for (int y = img.h - 1; y >= 0; --y) {
    std::string row;
    for (int x = 0; x < img.w; ++x) {
      const Rgb c = img.at(x, y);
      if (bpp == 24) {
        row += static_cast<char>(c.b);
        row += static_cast<char>(c.g);
        row += static_cast<char>(c.r);
      } else {
        Put16(row, static_cast<uint16_t>(((c.r >> 3) << 10) | ((c.g >> 3) << 5) | (c.b >> 3)));
      }
    }
    row.resize(row_bytes, '\0');
    s += row;
  }
  std::ofstream(path, std::ios::binary) << s;
}

// Decodes an uncompressed 8-bit palette, 24-bit or 32-bit bit-field BMP on its own,
// without SDL, so the loader's result can be compared with the file's real pixels.
Image DecodeBmp(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::string d((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  auto u8 = [&](size_t o) { return static_cast<uint8_t>(d[o]); };
  auto u16 = [&](size_t o) { return static_cast<uint32_t>(u8(o) | (u8(o + 1) << 8)); };
  auto u32 = [&](size_t o) { return u16(o) | (u16(o + 2) << 16); };
  Image img;
  const uint32_t offset = u32(10);
  const uint32_t header = u32(14);
  img.w = static_cast<int>(u32(18));
  const int32_t raw_h = static_cast<int32_t>(u32(22));
  img.h = raw_h < 0 ? -raw_h : raw_h;
  const int bpp = static_cast<int>(u16(28));
  const size_t row_bytes = ((static_cast<size_t>(img.w) * bpp / 8) + 3) & ~size_t{3};
  img.px.resize(static_cast<size_t>(img.w) * img.h);
  for (int y = 0; y < img.h; ++y) {
    const int file_row = raw_h < 0 ? y : img.h - 1 - y;
    const size_t base = offset + file_row * row_bytes;
    for (int x = 0; x < img.w; ++x) {
      Rgb c{};
      if (bpp == 8) {
        const size_t entry = 14 + header + 4 * u8(base + x);
        c = Rgb{u8(entry + 2), u8(entry + 1), u8(entry)};
      } else if (bpp == 24) {
        c = Rgb{u8(base + 3 * x + 2), u8(base + 3 * x + 1), u8(base + 3 * x)};
      } else {
        // Bit fields 0x00ff0000, 0x0000ff00, 0x000000ff for red, green, blue.
        c = Rgb{u8(base + 4 * x + 2), u8(base + 4 * x + 1), u8(base + 4 * x)};
      }
      img.px[static_cast<size_t>(y) * img.w + x] = c;
    }
  }
  return img;
}

// Reads the whole level 0 of a texture back, texel row 0 first.
Image ReadTexture(GLuint texture) {
  glBindTexture(GL_TEXTURE_2D, texture);
  Image img;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &img.w);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &img.h);
  img.px.resize(static_cast<size_t>(img.w) * img.h);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, img.px.data());
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  return img;
}

std::string TempPath(const std::string& name) { return testing::TempDir() + "texture_loader_" + name; }

Image Gradient(int w, int h) {
  Image img;
  img.w = w;
  img.h = h;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      img.px.push_back(Rgb{static_cast<uint8_t>(x * 7 + 3), static_cast<uint8_t>(y * 11 + 5),
                           static_cast<uint8_t>((x + y) * 13 + 1)});
  return img;
}

// An 8-bit run-length coded BMP with the palette {black, red}: every row is red runs of
// 255 pixels, then an end of line; `rows` rows (all if -1) and an end-of-image mark.
std::string RleBmp(int32_t w, int32_t h, int runs_per_row, int rows = -1) {
  std::string s = BmpHeader(w, h, 8, 1, 2);
  Put32(s, 0x00000000);
  Put32(s, 0x00ff0000);
  for (int y = 0; y < (rows < 0 ? h : rows); ++y) {
    for (int r = 0; r < runs_per_row; ++r) s += std::string("\xff\x01", 2);
    s += std::string("\0\0", 2);
  }
  s += std::string("\0\1", 2);
  return s;
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// A 24-bit BMP of w x h black pixels whose pixel rows are a hole in the file: large
// images without writing them.
void WriteSparseBlackBmp(const std::string& path, int w, int h) {
  WriteFile(path, BmpHeader(w, h, 24, 0));
  ASSERT_EQ(truncate(path.c_str(), 54 + static_cast<off_t>((w * 3 + 3) & ~3) * h), 0);
}

void ExpectSameImage(const Image& expected, const Image& got) {
  ASSERT_EQ(expected.w, got.w);
  ASSERT_EQ(expected.h, got.h);
  int wrong = 0;
  for (int y = 0; y < expected.h; ++y)
    for (int x = 0; x < expected.w; ++x)
      if (!(expected.at(x, y) == got.at(x, y)) && ++wrong <= 5)
        ADD_FAILURE() << "texel (" << x << ", " << y << "): expected " << expected.at(x, y) << ", got "
                      << got.at(x, y);
  EXPECT_EQ(wrong, 0);
}

class TextureLoaderTest : public testing::Test {
 protected:
  void TearDown() override {
    for (GLuint name : made_) glDeleteTextures(1, &name);
  }
  GLuint Load(const std::string& path) {
    GLuint name = loader_.LoadBMPTexture(path.c_str());
    if (name != 0) made_.push_back(name);
    return name;
  }
  TextureLoader loader_;
  std::vector<GLuint> made_;
};

}  // namespace

// Writes `img` as a PNG or a JPEG (quality 100) through SDL2_image.
void WriteWithSdlImage(const std::string& path, const Image& img, bool png) {
  SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, img.w, img.h, 24, SDL_PIXELFORMAT_RGB24);
  for (int y = 0; y < img.h; ++y)
    memcpy(static_cast<char*>(surface->pixels) + y * surface->pitch, &img.px[static_cast<size_t>(y) * img.w], img.w * 3);
  ASSERT_EQ(png ? IMG_SavePNG(surface, path.c_str()) : IMG_SaveJPG(surface, path.c_str(), 100), 0) << SDL_GetError();
  SDL_FreeSurface(surface);
}

TEST_F(TextureLoaderTest, PngAndJpegImagesLoadNorthUpInTheirColours) {
  Image img = Gradient(64, 32);
  const std::string png = TempPath("gradient.png");
  WriteWithSdlImage(png, img, true);
  GLuint name = Load(png);
  ASSERT_NE(name, 0u) << loader_.msg << " / " << loader_.reason;
  EXPECT_EQ(std::string(loader_.msg), "The file " + png + " was loaded succesfully.");
  ExpectSameImage(img, ReadTexture(name));

  // JPEG is lossy: each texel lies near its pixel.
  const std::string jpeg = TempPath("gradient.jpg");
  WriteWithSdlImage(jpeg, img, false);
  name = Load(jpeg);
  ASSERT_NE(name, 0u) << loader_.msg << " / " << loader_.reason;
  const Image tex = ReadTexture(name);
  ASSERT_EQ(tex.w, 64);
  ASSERT_EQ(tex.h, 32);
  for (const auto& [x, y] : {std::pair{0, 0}, {63, 0}, {0, 31}, {63, 31}, {20, 10}}) {
    EXPECT_NEAR(tex.at(x, y).r, img.at(x, y).r, 12) << x << "," << y;
    EXPECT_NEAR(tex.at(x, y).g, img.at(x, y).g, 12) << x << "," << y;
    EXPECT_NEAR(tex.at(x, y).b, img.at(x, y).b, 12) << x << "," << y;
  }
}

// A PNG's or JPEG's size is read from its header: claims the texture or the file cannot
// hold are refused before anything is decoded.
TEST_F(TextureLoaderTest, CompressedImagesClaimingMoreThanTheyHoldAreRefusedUnread) {
  auto be32 = [](uint32_t v) {
    return std::string{char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
  };
  auto png_claim = [&](uint32_t w, uint32_t h) {
    return std::string("\x89PNG\r\n\x1a\n", 8) + be32(13) + "IHDR" + be32(w) + be32(h) + std::string("\x08\x02\0\0\0", 5) +
           be32(0) + std::string(20, '\0');
  };
  const std::string huge = TempPath("huge.png");
  WriteFile(huge, png_claim(100000, 100000));
  EXPECT_EQ(Load(huge), 0u);
  GLint max_size = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &max_size);
  EXPECT_EQ(std::string(loader_.msg), "The file " + huge + " is too large for a texture (100000 x 100000 pixels, at most " +
                                          std::to_string(max_size) + " x " + std::to_string(max_size) + ").");

  const std::string bomb = TempPath("bomb.png");
  WriteFile(bomb, png_claim(8000, 8000));
  EXPECT_EQ(Load(bomb), 0u);
  EXPECT_EQ(std::string(loader_.msg), "Could not open the file " + bomb);
  // The claims themselves: ImageClaims_test.
  EXPECT_EQ(std::string(loader_.reason), "It holds 53 bytes, far too few for the 8000 x 8000 pixels its header promises.");
}

// Corners in colours whose red and blue differ, so a swapped channel order or a flipped
// row order shows at once.
TEST_F(TextureLoaderTest, TwentyFourBitImageKeepsItsSizeOrientationAndTrueColours) {
  Image img = Gradient(256, 128);
  const Rgb top_left{200, 30, 10}, top_right{10, 200, 30}, bottom_left{30, 10, 200}, bottom_right{250, 250, 5};
  img.px[0] = top_left;
  img.px[255] = top_right;
  img.px[127 * 256] = bottom_left;
  img.px[127 * 256 + 255] = bottom_right;
  const std::string path = TempPath("corners.bmp");
  WriteBmp(path, img, 24);

  const GLuint name = Load(path);
  ASSERT_NE(name, 0u) << loader_.msg;
  EXPECT_EQ(std::string(loader_.msg), "The file " + path + " was loaded succesfully.");
  const Image tex = ReadTexture(name);
  ASSERT_EQ(tex.w, 256);
  ASSERT_EQ(tex.h, 128);
  EXPECT_EQ(tex.at(0, 0), top_left);
  EXPECT_EQ(tex.at(255, 0), top_right);
  EXPECT_EQ(tex.at(0, 127), bottom_left);
  EXPECT_EQ(tex.at(255, 127), bottom_right);
  ExpectSameImage(img, tex);
}

TEST_F(TextureLoaderTest, OddWidthsWithPaddedRowsAreReadRowByRow) {
  // 5 and 7 pixels make 15 and 21 byte rows, padded to 16 and 24 in the file and by SDL.
  for (int w : {5, 7, 1}) {
    const Image img = Gradient(w, 3);
    const std::string path = TempPath("odd" + std::to_string(w) + ".bmp");
    WriteBmp(path, img, 24);
    const GLuint name = Load(path);
    ASSERT_NE(name, 0u) << loader_.msg;
    SCOPED_TRACE("width " + std::to_string(w));
    ExpectSameImage(img, ReadTexture(name));
  }
}

TEST_F(TextureLoaderTest, LeavesTheTextureBoundWithLinearFiltersNoErrorAndDoesNotStoreTheGlobal) {
  const std::string path = TempPath("small.bmp");
  WriteBmp(path, Gradient(4, 4), 24);
  texture_id = 0;
  glDisable(GL_TEXTURE_2D);
  glEnable(0x7fff);  // an error left behind by earlier calls does not fail the load
  const GLuint name = Load(path);
  ASSERT_NE(name, 0u);
  EXPECT_EQ(texture_id, 0u);
  GLint bound = 0, min_filter = 0, mag_filter = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  EXPECT_EQ(static_cast<GLuint>(bound), name);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &min_filter);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &mag_filter);
  EXPECT_EQ(min_filter, GL_LINEAR);
  EXPECT_EQ(mag_filter, GL_LINEAR);
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(TextureLoaderTest, SixteenBitImageIsConvertedToItsColours) {
  // Values with the low three bits clear survive 5 bits per channel unchanged.
  Image img;
  img.w = 3;
  img.h = 2;
  img.px = {Rgb{248, 0, 0}, Rgb{0, 248, 0}, Rgb{0, 0, 248}, Rgb{128, 64, 32}, Rgb{0, 0, 0}, Rgb{248, 248, 248}};
  const std::string path = TempPath("sixteen.bmp");
  WriteBmp(path, img, 16);
  const GLuint name = Load(path);
  ASSERT_NE(name, 0u) << loader_.msg;
  const Image tex = ReadTexture(name);
  ASSERT_EQ(tex.w, 3);
  ASSERT_EQ(tex.h, 2);
  // SDL widens 5 bits v to 8 as v * 255 / 31: 248 -> 255, 128 -> 131, 64 -> 65, 32 -> 32.
  EXPECT_EQ(tex.at(0, 0), (Rgb{255, 0, 0}));
  EXPECT_EQ(tex.at(1, 0), (Rgb{0, 255, 0}));
  EXPECT_EQ(tex.at(2, 0), (Rgb{0, 0, 255}));
  EXPECT_EQ(tex.at(0, 1), (Rgb{131, 65, 32}));
  EXPECT_EQ(tex.at(2, 1), (Rgb{255, 255, 255}));
}

TEST_F(TextureLoaderTest, EightBitPaletteImageLoadsInItsPaletteColours) {
  const std::string path = std::string(REAL_DATA_DIR) + "/NEG_jacksboro_8bit_palette.bmp";
  const GLuint name = Load(path);
  ASSERT_NE(name, 0u) << loader_.msg;
  EXPECT_EQ(std::string(loader_.msg), "The file " + path + " was loaded succesfully.");
  ExpectSameImage(DecodeBmp(path), ReadTexture(name));
}

TEST_F(TextureLoaderTest, ThirtyTwoBitImageLoadsLikeTheTwentyFourBitOne) {
  const std::string path = std::string(REAL_DATA_DIR) + "/NEG_jacksboro_32bit_bgra.bmp";
  const std::string reference = std::string(REPO_DATA_DIR) + "/jacksboro_403x344.bmp";
  const GLuint name = Load(path);
  ASSERT_NE(name, 0u) << loader_.msg;
  const Image tex = ReadTexture(name);
  const Image expected = DecodeBmp(reference);
  // The top-left pixel of the sample texture, as ImageMagick and the raw file agree.
  EXPECT_EQ(expected.at(0, 0), (Rgb{0x8f, 0xab, 0x4e}));
  EXPECT_EQ(tex.at(0, 0), expected.at(0, 0));
  ExpectSameImage(expected, tex);
  ExpectSameImage(DecodeBmp(path), tex);
}

TEST_F(TextureLoaderTest, SampleTextureLoadsNorthUp) {
  const std::string path = std::string(REPO_DATA_DIR) + "/jacksboro_403x344.bmp";
  const GLuint name = Load(path);
  ASSERT_NE(name, 0u) << loader_.msg;
  ExpectSameImage(DecodeBmp(path), ReadTexture(name));
}

TEST_F(TextureLoaderTest, MissingOrUndecodableFilesReportAndGiveNoTexture) {
  GLint bound_before = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound_before);

  const std::string missing = TempPath("does_not_exist.bmp");
  std::remove(missing.c_str());
  EXPECT_EQ(Load(missing), 0u);
  EXPECT_EQ(std::string(loader_.msg), "Could not open the file " + missing);
  EXPECT_EQ(std::string(loader_.reason), "No such file or directory");

  const std::string dir = testing::TempDir();
  EXPECT_EQ(Load(dir), 0u);
  EXPECT_EQ(std::string(loader_.msg), "Could not open the file " + dir);
  EXPECT_EQ(std::string(loader_.reason), "Is a directory");

  const std::string text = TempPath("not_a_bmp.bmp");
  std::ofstream(text) << "ncols 4\nnrows 4\n";
  EXPECT_EQ(Load(text), 0u);
  EXPECT_EQ(std::string(loader_.msg), "Could not open the file " + text);
  EXPECT_EQ(std::string(loader_.reason), "It is no BMP, PNG or JPEG image, nor another format SDL2_image reads.");

  // A header cut short, and one that passes the checks but not SDL (no pixel depth).
  const std::string stub = TempPath("stub.bmp");
  WriteFile(stub, BmpHeader(4, 4, 24, 0).substr(0, 20));
  EXPECT_EQ(Load(stub), 0u);
  EXPECT_EQ(std::string(loader_.msg), "Could not open the file " + stub);
  EXPECT_EQ(std::string(loader_.reason), "It ends inside its BMP header, after 20 bytes.");
  const std::string depthless = TempPath("depthless.bmp");
  WriteFile(depthless, BmpHeader(4, 4, 0, 0) + std::string(64, '\0'));
  EXPECT_EQ(Load(depthless), 0u);
  EXPECT_EQ(std::string(loader_.msg), "Could not open the file " + depthless);
  EXPECT_EQ(std::string(loader_.reason), "0-bpp BMP images are not supported");

  // A BMP header whose pixel data is cut short.
  const std::string cut = TempPath("cut.bmp");
  WriteBmp(cut, Gradient(64, 64), 24);
  std::string bytes;
  {
    std::ifstream f(cut, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
  }
  std::ofstream(cut, std::ios::binary | std::ios::trunc) << bytes.substr(0, 100);
  EXPECT_EQ(Load(cut), 0u);
  EXPECT_EQ(std::string(loader_.msg), "Could not open the file " + cut);
  EXPECT_EQ(std::string(loader_.reason),
            "It holds 46 bytes of pixel data, but its header promises 64 x 64 pixels of 24 bits (12288 bytes).");

  // No texture object was made or bound on the way.
  GLint bound_after = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound_after);
  EXPECT_EQ(bound_after, bound_before);
}

TEST_F(TextureLoaderTest, ImageWiderThanTheLargestTextureIsRefused) {
  GLint max_size = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &max_size);
  ASSERT_GT(max_size, 0);
  const std::string path = TempPath("too_wide.bmp");
  WriteBmp(path, Gradient(max_size + 1, 1), 24);
  EXPECT_EQ(Load(path), 0u);
  const std::string expected = "The file " + path + " is too large for a texture (" + std::to_string(max_size + 1) +
                               " x 1 pixels, at most " + std::to_string(max_size) + " x " +
                               std::to_string(max_size) + ").";
  EXPECT_EQ(std::string(loader_.msg), expected);
}

TEST_F(TextureLoaderTest, LongPathsAreShortenedInsideTheReportBuffer) {
  // The loader followed by a guard area: nothing may be written past msg.
  struct Guarded {
    TextureLoader loader;
    char guard[300];
  } g;
  memset(g.guard, 0x5a, sizeof g.guard);

  const std::string dir = testing::TempDir();
  std::string path = dir + std::string(400 - dir.size(), 'd') + "/end_of_path.bmp";
  EXPECT_EQ(g.loader.LoadBMPTexture(path.c_str()), 0u);
  const std::string msg = g.loader.msg;
  EXPECT_EQ(msg.size(), sizeof g.loader.msg - 1);
  EXPECT_EQ(msg.rfind("Could not open the file " + path.substr(0, 40), 0), 0u) << msg;
  EXPECT_NE(msg.find("..."), std::string::npos);
  EXPECT_EQ(msg.substr(msg.size() - 20), path.substr(path.size() - 20));
  for (char c : g.guard) ASSERT_EQ(c, 0x5a);

  // A successful load of a long path: the report keeps its ending and fits too.
  const std::string long_name = TempPath(std::string(200, 'x') + ".bmp");
  WriteBmp(long_name, Gradient(2, 2), 24);
  const GLuint name = g.loader.LoadBMPTexture(long_name.c_str());
  ASSERT_NE(name, 0u);
  glDeleteTextures(1, &name);
  const std::string ok = g.loader.msg;
  EXPECT_EQ(ok.size(), sizeof g.loader.msg - 1);
  EXPECT_EQ(ok.rfind("The file ", 0), 0u);
  const std::string ending = "x.bmp was loaded succesfully.";
  EXPECT_EQ(ok.substr(ok.size() - ending.size()), ending);
  for (char c : g.guard) ASSERT_EQ(c, 0x5a);
}

// Headers are judged before SDL decodes anything: a claim OpenGL cannot hold or the file
// cannot back is refused at once, however much memory and time decoding it would take.
TEST_F(TextureLoaderTest, HeadersPromisingMoreThanTheTextureOrTheFileHoldsAreRefused) {
  GLint max_size = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &max_size);
  const std::string max = std::to_string(max_size);

  // 1,080 bytes of run-length coding that claim 64 x 20,000,000 pixels.
  const std::string tall = TempPath("tall_rle.bmp");
  WriteFile(tall, RleBmp(64, 20000000, 0, 508));
  EXPECT_EQ(Load(tall), 0u);
  EXPECT_EQ(
      std::string(loader_.msg),
      "The file " + tall + " is too large for a texture (64 x 20000000 pixels, at most " + max + " x " + max + ").");
  EXPECT_EQ(std::string(loader_.reason), "");

  // 100000 x 100000 pixels, top-down, and nothing after the header.
  const std::string huge = TempPath("huge.bmp");
  WriteFile(huge, BmpHeader(100000, -100000, 24, 0));
  EXPECT_EQ(Load(huge), 0u);
  EXPECT_EQ(
      std::string(loader_.msg),
      "The file " + huge + " is too large for a texture (100000 x 100000 pixels, at most " + max + " x " + max + ").");

  // A claim the file cannot back (ImageClaims_test has every kind).
  const std::string shortrow = TempPath("short_row.bmp");
  WriteFile(shortrow, BmpHeader(3, 2, 24, 0) + std::string(23, '\7'));
  EXPECT_EQ(Load(shortrow), 0u);
  EXPECT_EQ(std::string(loader_.msg), "Could not open the file " + shortrow);
  EXPECT_EQ(std::string(loader_.reason),
            "It holds 23 bytes of pixel data, but its header promises 3 x 2 pixels of 24 bits (24 bytes).");

  // The reason of a failed load does not outlive the next, successful one.
  const std::string fine = TempPath("fine.bmp");
  WriteBmp(fine, Gradient(3, 2), 24);
  ASSERT_NE(Load(fine), 0u) << loader_.reason;
  EXPECT_EQ(std::string(loader_.reason), "");
}

TEST_F(TextureLoaderTest, RunLengthCodedImagesAsDenseAsTheCodingAllowsLoad) {
  // 510 pixels a row from 6 bytes: 85 pixels per byte.
  const std::string path = TempPath("rle_ok.bmp");
  WriteFile(path, RleBmp(510, 40, 2));
  const GLuint name = Load(path);
  ASSERT_NE(name, 0u) << loader_.msg << " / " << loader_.reason;
  const Image tex = ReadTexture(name);
  ASSERT_EQ(tex.w, 510);
  ASSERT_EQ(tex.h, 40);
  EXPECT_EQ(tex.at(0, 0), (Rgb{255, 0, 0}));
  EXPECT_EQ(tex.at(509, 39), (Rgb{255, 0, 0}));
}

// The bug this guards against: with too little memory the upload fails, and the terrain
// was drawn black under a success report. Run in a child process: loads a 4096 x 4096 image
// with room for SDL's 48 MB copy of it but not for the GL's as well, and ends with status 0
// when the failure was reported and no texture or error was left behind.
void LoadWithLittleMemoryAndExit(const std::string& path) {
  long pages = 0;
  std::ifstream("/proc/self/statm") >> pages;
  const rlim_t limit = static_cast<rlim_t>(pages) * sysconf(_SC_PAGESIZE) + (72u << 20);
  const rlimit rl{limit, limit};
  setrlimit(RLIMIT_AS, &rl);
  memory::SetAvailableForTesting(int64_t{1} << 40);  // past the check of the claim, to the upload
  TextureLoader loader;
  const GLuint name = loader.LoadBMPTexture(path.c_str());
  GLint bound = -1;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  const GLenum error = glGetError();
  fprintf(stderr, "texture %u, bound %d, GL error %u: %s | %s\n", name, bound, error, loader.msg, loader.reason);
  const bool ok =
      name == 0 && bound == 0 && error == GL_NO_ERROR &&
      std::string(loader.msg) == "The file " + path + " could not be made a texture (GL_OUT_OF_MEMORY)." &&
      std::string(loader.reason) == "OpenGL refused its 4096 x 4096 pixels; the terrain is drawn without a texture.";
  _exit(ok ? 0 : 1);
}

TEST_F(TextureLoaderTest, ImageTheGlCannotHoldIsReportedAndLeavesNoTexture) {
  const std::string path = TempPath("out_of_memory.bmp");
  WriteSparseBlackBmp(path, 4096, 4096);
  // gtest runs this binary again, with its own window, for the child.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(LoadWithLittleMemoryAndExit(path), testing::ExitedWithCode(0), "");
}

namespace {

// 4096 x 4096 pixels, vertical stripes of the colour table's entries, 16 pixels wide,
// written by GDAL's PNG driver: `bits` 1 gives a 1-bit grey PNG, 8 a palette of `colours`.
std::string StripedPng(const std::string& name, int bits, const std::vector<Rgb>& colours) {
  GDALAllRegister();
  GDALDatasetH mem = GDALCreate(GDALGetDriverByName("MEM"), "", 4096, 4096, 1, GDT_Byte, nullptr);
  std::vector<uint8_t> row(4096);
  for (int x = 0; x < 4096; ++x) row[x] = static_cast<uint8_t>((x / 16) % colours.size());
  GDALRasterBandH band = GDALGetRasterBand(mem, 1);
  for (int y = 0; y < 4096; ++y)
    EXPECT_EQ(GDALRasterIO(band, GF_Write, 0, y, 4096, 1, row.data(), 4096, 1, GDT_Byte, 0, 0), CE_None);
  if (bits == 8) {
    GDALColorTableH table = GDALCreateColorTable(GPI_RGB);
    for (size_t i = 0; i < colours.size(); ++i) {
      const GDALColorEntry entry{colours[i].r, colours[i].g, colours[i].b, 255};
      GDALSetColorEntry(table, static_cast<int>(i), &entry);
    }
    GDALSetRasterColorTable(band, table);
    GDALDestroyColorTable(table);
  }
  const std::string path = TempPath(name);
  const std::string nbits = "NBITS=" + std::to_string(bits);
  const char* options[] = {nbits.c_str(), nullptr};
  GDALClose(GDALCreateCopy(GDALGetDriverByName("PNG"), path.c_str(), mem, FALSE, const_cast<char**>(options), nullptr,
                           nullptr));
  GDALClose(mem);
  return path;
}

}  // namespace

// Small files of valid images that were refused: the file-size ratio took 3 bytes a pixel,
// and a TGA, which has no signature, was handed to SDL2_image without its type.
TEST_F(TextureLoaderTest, OneBitPalettedPngsAndTgaLoad) {
  const Rgb black{0, 0, 0}, white{255, 255, 255}, red{255, 0, 0}, green{0, 255, 0}, blue{0, 0, 255};
  const std::vector<std::pair<std::string, std::vector<Rgb>>> pngs = {
      {StripedPng("one_bit.png", 1, {black, white}), {black, white}},
      {StripedPng("palette.png", 8, {red, green, blue}), {red, green, blue}}};
  for (const auto& [path, colours] : pngs) {
    const GLuint name = Load(path);
    ASSERT_NE(name, 0u) << loader_.msg << " / " << loader_.reason;
    const Image tex = ReadTexture(name);
    ASSERT_EQ(tex.w, 4096);
    ASSERT_EQ(tex.h, 4096);
    for (int x : {0, 16, 33, 4095}) EXPECT_EQ(tex.at(x, 4000), colours[(x / 16) % colours.size()]) << path << " " << x;
  }

  // 16 x 12, 24 bits, rows from the bottom (the default), pixel (x, y) = (16x, 20y, 7).
  std::string tga = std::string("\0\0\2", 3) + std::string(9, '\0');
  Put16(tga, 16);
  Put16(tga, 12);
  tga += std::string("\x18\0", 2);
  for (int y = 11; y >= 0; --y)
    for (int x = 0; x < 16; ++x) tga += {char(7), char(20 * y), char(16 * x)};
  for (const char* ending : {".tga", ".image"}) {
    const std::string path = TempPath(std::string("sixteen_by_twelve") + ending);
    WriteFile(path, tga);
    const GLuint name = Load(path);
    ASSERT_NE(name, 0u) << loader_.msg << " / " << loader_.reason;
    const Image tex = ReadTexture(name);
    ASSERT_EQ(tex.w, 16);
    ASSERT_EQ(tex.h, 12);
    EXPECT_EQ(tex.at(0, 0), (Rgb{0, 0, 7}));
    EXPECT_EQ(tex.at(15, 11), (Rgb{240, 220, 7}));
  }
}

// Tiny files claiming large images, in every format whose header gives a size, are refused
// before they are decoded, with what they would need and what is free.
TEST_F(TextureLoaderTest, ClaimsBeyondTheMemoryLeftAreRefusedUndecoded) {
  // The claims of every other kind: ImageClaims_test.
  const std::pair<const char*, std::string> files[] = {
      {"claim.svg", "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"16000\" height=\"16000\"><rect width=\"9\" "
                    "height=\"9\"/></svg>"},
      {"claim.pgm", "P5 16000 16000 255\n"}};
  memory::SetAvailableForTesting(2000000000);
  for (const auto& [name, bytes] : files) {
    const std::string path = TempPath(name);
    WriteFile(path, bytes);
    EXPECT_EQ(Load(path), 0u);
    // 16000 x 16000 pixels at 14 bytes.
    EXPECT_EQ(std::string(loader_.msg),
              "The file " + path + " would need 3.6 GB for its 16000 x 16000 pixels; this machine has 2.0 GB free.");
  }
  // No size in its header: SDL2_image draws it into a 1.0 GB image, beyond the decoded
  // image's share (4 of 14 bytes a pixel) of the 2.0 GB free.
  const std::string unsized = TempPath("unsized.svg");
  WriteFile(unsized, "<svg xmlns=\"http://www.w3.org/2000/svg\"><rect width=\"16000\" height=\"16000\"/></svg>");
  EXPECT_EQ(Load(unsized), 0u);
  EXPECT_EQ(std::string(loader_.msg), "Could not open the file " + unsized);
  EXPECT_EQ(std::string(loader_.reason), "Decoding it asked for 1.0 GB at once; this machine has 2.0 GB free.");
  memory::SetAvailableForTesting(-1);
}

// An image that decodes to nothing, or claims to be empty, is refused, not drawn as a
// white terrain.
TEST_F(TextureLoaderTest, EmptyImagesAreRefused) {
  const std::string xcf("gimp xcf file\0", 14);
  const std::pair<std::string, const char*> files[] = {
      {xcf, "It decodes to an empty image (0 x 0 pixels)."},
      {xcf + std::string(8, '\0'), "Its header claims an impossible size (0 x 0 pixels)."}};
  for (const auto& [bytes, reason] : files) {
    const std::string path = TempPath("empty.xcf");
    WriteFile(path, bytes);
    EXPECT_EQ(Load(path), 0u);
    EXPECT_EQ(std::string(loader_.msg), "Could not open the file " + path);
    EXPECT_EQ(std::string(loader_.reason), reason);
  }
}
