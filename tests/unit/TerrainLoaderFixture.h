// Shared set-up for the grid reader tests: `input` is a process-wide global, so every
// test starts from a known sentinel, and whatever a successful load allocated is freed.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "TerrainLoader.h"

class TerrainLoaderTest : public ::testing::Test {
 protected:
  // No real load produces these, so any write to `input` shows.
  static constexpr data kSentinel{-7, -8, -9, -10, -11, nullptr, -12, true, GridPlace{true, true, -13, -14, -15, -16}};

  void SetUp() override {
    input = kSentinel;
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = "terrain_loader_" + std::to_string(getpid()) + "_" + info->test_suite_name() + "_" + info->name();
    for (char& c : name)
      if (c == '/') c = '_';  // parameterised tests have slashes in their names
    dir_ = std::filesystem::path(::testing::TempDir()) / name;
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }

  void TearDown() override {
    ReleaseGrid();
    std::filesystem::remove_all(dir_);
  }

  void ReleaseGrid() {
    if (input.values) {
      for (int r = 0; r < input.rows; ++r) delete[] input.values[r];
      delete[] input.values;
    }
    input = kSentinel;
  }

  bool Load(const std::string& path) {
    ReleaseGrid();
    memset(loader.msg, 'x', sizeof loader.msg);  // an unterminated report would show
    memset(loader.reason, 'x', sizeof loader.reason);
    return loader.LoadArcASCIIFile(path.c_str());
  }

  // Writes `contents` to a file in this test's own temporary folder.
  std::string Write(const std::string& name, const std::string& contents) {
    const std::string path = (dir_ / name).string();
    std::ofstream(path, std::ios::binary) << contents;
    return path;
  }

  std::string Msg() const {
    EXPECT_NE(memchr(loader.msg, '\0', sizeof loader.msg), nullptr) << "report not terminated";
    return std::string(loader.msg, strnlen(loader.msg, sizeof loader.msg));
  }

  std::string Reason() const {
    EXPECT_NE(memchr(loader.reason, '\0', sizeof loader.reason), nullptr) << "reason not terminated";
    return std::string(loader.reason, strnlen(loader.reason, sizeof loader.reason));
  }

  static bool InputUntouched() {
    return input.rows == kSentinel.rows && input.cols == kSentinel.cols &&
           input.grid_space == kSentinel.grid_space && input.y_min == kSentinel.y_min &&
           input.y_max == kSentinel.y_max && input.values == nullptr && input.nodata == kSentinel.nodata &&
           input.has_nodata == kSentinel.has_nodata && input.place.left == kSentinel.place.left;
  }

  // The standard six header lines, as GDAL writes them.
  static std::string Header(const std::string& cols, const std::string& rows,
                            const std::string& cellsize = "0.000833333333",
                            const std::string& nodata = "-9999") {
    return "ncols        " + cols + "\nnrows        " + rows +
           "\nxllcorner    -84.413750000000\nyllcorner    36.446250000000\ncellsize     " + cellsize +
           "\nNODATA_value " + nodata + "\n";
  }

  TerrainLoader loader;
  std::filesystem::path dir_;
};
