// The MP4 writer's refusals and its all-or-nothing file; the frames' content is checked by
// decoding a rendered video (tests/e2e/flight_video.sh).
#include "VideoEncoder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <vector>

namespace fs = std::filesystem;

namespace {

class VideoFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::current_path() / ("video_test_" + std::to_string(getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  size_t Files() const { return static_cast<size_t>(std::distance(fs::directory_iterator(dir_), fs::directory_iterator())); }
  fs::path dir_;
};

TEST_F(VideoFolder, OddSizeAndExistingFileRefused) {
  VideoEncoder video;
  EXPECT_EQ(video.Open((dir_ / "a.mp4").string(), 161, 120, 30).reason(),
            "an H.264 video needs an even width and height, not 161 x 120");
  std::ofstream((dir_ / "b.mp4").string()) << "mine";
  EXPECT_EQ(video.Open((dir_ / "b.mp4").string(), 160, 120, 30).reason(), "it exists already; it is left as it was");
  EXPECT_EQ(Files(), 1u);
  EXPECT_EQ(fs::file_size(dir_ / "b.mp4"), 4u);
}

TEST_F(VideoFolder, NamedOnlyWhenFinished) {
  const std::vector<unsigned char> grey(64 * 48 * 3, 128);
  {
    VideoEncoder dropped;
    ASSERT_TRUE(dropped.Open((dir_ / "dropped.mp4").string(), 64, 48, 10).ok());
    ASSERT_TRUE(dropped.Add(grey.data()).ok());
    EXPECT_FALSE(fs::exists(dir_ / "dropped.mp4"));
  }
  EXPECT_EQ(Files(), 0u);
  VideoEncoder video;
  ASSERT_TRUE(video.Open((dir_ / "v.mp4").string(), 64, 48, 10).ok());
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(video.Add(grey.data()).ok());
  ASSERT_TRUE(video.Finish().ok());
  EXPECT_EQ(video.frames(), 3);
  EXPECT_GT(fs::file_size(dir_ / "v.mp4"), 0u);
  EXPECT_EQ(Files(), 1u);  // no temporary file left beside it
}

}  // namespace
