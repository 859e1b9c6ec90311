// PNG pictures of the view: exact pixels, numbered names that never replace a file, and
// failures that leave nothing behind.
#include "Snapshot.h"

#include "ChildProcess.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <stb/stb_image.h>

namespace fs = std::filesystem;

namespace {

// A fresh folder under the test's working folder, removed afterwards.
class SnapshotFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::current_path() / ("snapshot_test_" + std::to_string(getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir_)) names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }

  fs::path dir_;
};

// 3 x 2 pixels, each channel distinct, rows top to bottom.
const std::vector<unsigned char> kPixels = {
    255, 0, 0,  0, 255, 0,  0, 0, 255,
    1, 2, 3,    250, 128, 7,  9, 99, 199};

// "" for success, otherwise the reason.
std::string Failure(const Status& status) { return status.ok() ? "" : status.reason(); }

std::string ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace

TEST(SnapshotNameStem, FileNameWithoutFolderAndExtensionThenTheSize) {
  EXPECT_EQ(snapshot::NameStem("data/jacksboro_403x344.asc", 403, 344), "jacksboro_403x344");
  EXPECT_EQ(snapshot::NameStem("data/jacksboro_403x344.asc", 344, 403), "jacksboro_403x344_344x403");
  EXPECT_EQ(snapshot::NameStem("/a.b/N36W085.hgt", 1201, 1201), "N36W085_1201x1201");
  EXPECT_EQ(snapshot::NameStem("grid", 3, 4), "grid_3x4");
  EXPECT_EQ(snapshot::NameStem("dir/.hidden", 3, 4), ".hidden_3x4");
}

TEST_F(SnapshotFolder, WritesThePixelsExactlyUnderTheFirstNumber) {
  std::string written;
  ASSERT_EQ(Failure(snapshot::SavePng(dir_, "g_3x2", 3, 2, kPixels.data(), &written)), "");
  EXPECT_EQ(written, (dir_ / "g_3x2-001.png").string());
  EXPECT_EQ(Names(), std::vector<std::string>{"g_3x2-001.png"});  // no temporary left

  int w = 0, h = 0, channels = 0;
  unsigned char* decoded = stbi_load(written.c_str(), &w, &h, &channels, 3);
  ASSERT_NE(decoded, nullptr);
  EXPECT_EQ(w, 3);
  EXPECT_EQ(h, 2);
  EXPECT_EQ(std::vector<unsigned char>(decoded, decoded + 18), kPixels);
  stbi_image_free(decoded);
}

TEST_F(SnapshotFolder, TakesTheFirstFreeNumberAndLeavesExistingFilesAlone) {
  std::ofstream(dir_ / "g_3x2-001.png") << "mine";
  std::ofstream(dir_ / "g_3x2-002.png") << "also mine";
  std::ofstream(dir_ / "g_3x2-004.png") << "mine too";
  std::string written;
  ASSERT_EQ(Failure(snapshot::SavePng(dir_, "g_3x2", 3, 2, kPixels.data(), &written)), "");
  EXPECT_EQ(written, (dir_ / "g_3x2-003.png").string());
  ASSERT_EQ(Failure(snapshot::SavePng(dir_, "g_3x2", 3, 2, kPixels.data(), &written)), "");
  EXPECT_EQ(written, (dir_ / "g_3x2-005.png").string());

  EXPECT_EQ(ReadAll(dir_ / "g_3x2-001.png"), "mine");
  EXPECT_EQ(ReadAll(dir_ / "g_3x2-002.png"), "also mine");
  EXPECT_EQ(ReadAll(dir_ / "g_3x2-004.png"), "mine too");
  EXPECT_EQ(Names(), (std::vector<std::string>{"g_3x2-001.png", "g_3x2-002.png", "g_3x2-003.png",
                                               "g_3x2-004.png", "g_3x2-005.png"}));
}

TEST_F(SnapshotFolder, ADirectoryInTheWayOfANameIsSkippedToo) {
  fs::create_directory(dir_ / "g_3x2-001.png");
  std::string written;
  ASSERT_EQ(Failure(snapshot::SavePng(dir_, "g_3x2", 3, 2, kPixels.data(), &written)), "");
  EXPECT_EQ(written, (dir_ / "g_3x2-002.png").string());
}

// A mesh takes the first number free for all its files: a stray .mtl moves it on.
TEST_F(SnapshotFolder, NumberedNamesSkipNumbersTakenByAnyEnding) {
  const fs::path old = fs::current_path();
  fs::current_path(dir_);
  std::ofstream("g-001.mtl") << "stray";
  std::ofstream("g-002.obj") << "mine";
  EXPECT_EQ(snapshot::FreeNumberedName("g", {".obj", ".mtl"}), "g-003.obj");
  EXPECT_EQ(snapshot::FreeNumberedName("g", {".obj"}), "g-001.obj");
  fs::current_path(old);
}

// A name of 254 bytes is legal; its temporary name must be too.
TEST_F(SnapshotFolder, TheLongestLegalNameIsWritten) {
  const std::string name = std::string(250, 'n') + ".png";
  ASSERT_EQ(Failure(snapshot::SavePngAs((dir_ / name).string(), 3, 2, kPixels.data())), "");
  EXPECT_EQ(Names(), std::vector<std::string>{name});
}

TEST_F(SnapshotFolder, FailuresAreReportedAndLeaveNothingBehind) {
  std::string written = "untouched";
  // A folder that does not exist, and a "folder" that is a file.
  EXPECT_EQ(Failure(snapshot::SavePng(dir_ / "missing", "g", 3, 2, kPixels.data(), &written)), "No such file or directory");
  std::ofstream(dir_ / "plain") << "x";
  EXPECT_EQ(Failure(snapshot::SavePng(dir_ / "plain", "g", 3, 2, kPixels.data(), &written)), "Not a directory");
  // A read-only folder (root may write anyway: then this case says nothing).
  fs::create_directory(dir_ / "ro");
  fs::permissions(dir_ / "ro", fs::perms::owner_read | fs::perms::owner_exec);
  if (geteuid() != 0) {
    EXPECT_EQ(Failure(snapshot::SavePng(dir_ / "ro", "g", 3, 2, kPixels.data(), &written)), "Permission denied");
    EXPECT_TRUE(fs::is_empty(dir_ / "ro"));
  }
  fs::permissions(dir_ / "ro", fs::perms::owner_all);
  // Nothing to encode.
  EXPECT_EQ(Failure(snapshot::SavePng(dir_, "g", 0, 2, kPixels.data(), &written)), "no picture to encode");
  EXPECT_EQ(written, "untouched");
  // A name taken: the file stays as it was, and so does the folder.
  EXPECT_EQ(Failure(snapshot::SavePngAs((dir_ / "plain").string(), 3, 2, kPixels.data())),
            "it exists already; it is left as it was");
  EXPECT_EQ(ReadAll(dir_ / "plain"), "x");
  EXPECT_EQ(Names(), (std::vector<std::string>{"plain", "ro"}));
}

TEST_F(SnapshotFolder, GivesUpWhenEveryNumberIsTaken) {
  for (int n = 1; n <= 999; ++n) {
    char name[32];
    std::snprintf(name, sizeof name, "g-%03d.png", n);
    std::ofstream(dir_ / name) << "";
  }
  std::string written;
  EXPECT_EQ(Failure(snapshot::SavePng(dir_, "g", 3, 2, kPixels.data(), &written)), "all numbers up to 999 are taken");
  EXPECT_EQ(Names().size(), 999u);
}

// A picture takes 20 bytes a pixel to draw and write, and the renderer 400 MB.
TEST(SnapshotMemory, PictureBytes) {
  EXPECT_EQ(snapshot::PictureBytes(16384, 16384), 16384ULL * 16384 * 20 + (400ULL << 20));
  EXPECT_EQ(snapshot::PictureBytes(1024, 768), 15728640ULL + (400ULL << 20));
  EXPECT_EQ(snapshot::PictureBytes(-1, 768), 400ULL << 20);
}
