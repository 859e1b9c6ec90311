// The grid reader on hostile input: malformed files, long paths, directories, pipes and
// memory that runs out. Nothing may crash; every failure leaves `input` as it was.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <thread>

#include "MemoryBudget.h"
#include "TerrainLoaderFixture.h"

namespace {

TEST_F(TerrainLoaderTest, MalformedCorpusIsRefusedCleanly) {
  std::vector<std::string> paths;
  for (const auto& entry : std::filesystem::directory_iterator(TEST_SOURCE_DIR "/data/malformed"))
    paths.push_back(entry.path().string());
  ASSERT_GE(paths.size(), 30u);

  // The large pathological cases are made here rather than kept in the repository.
  const std::string header = Header("4", "3");
  paths.push_back(Write("long_line_header.asc", std::string(1 << 20, 'n') + "\n" + header + "1 2 3 4\n"));
  paths.push_back(Write("long_token.asc", header + "1 2 " + std::string(1 << 20, '7') + " 4 5 6 7 8 9 10 11 12\n"));
  paths.push_back(Write("long_fraction.asc", header + "1 2 1." + std::string(1 << 20, '9') + "x 4\n"));
  paths.push_back(Write("long_blank_run.asc", header + "1 2 3 4 5 6" + std::string(1 << 20, ' ')));
  std::string sample;
  {
    std::ifstream file(REPO_DATA_DIR "/jacksboro_403x344.asc", std::ios::binary);
    sample.assign(std::istreambuf_iterator<char>(file), {});
  }
  ASSERT_GT(sample.size(), 500000u);
  paths.push_back(Write("truncated_sample.asc", sample.substr(0, sample.size() / 2)));
  paths.push_back(Write("truncated_sample_mid_header.asc", sample.substr(0, 40)));
  paths.push_back(dir_.string());  // a directory opens with fopen but cannot be read

  for (const std::string& path : paths) {
    const bool loaded = Load(path);
    EXPECT_FALSE(loaded) << path << ": " << Msg();
    EXPECT_TRUE(InputUntouched()) << path;
    const std::string msg = Msg();
    EXPECT_LT(msg.size(), sizeof loader.msg) << path;
    EXPECT_EQ(msg.find('\n'), std::string::npos) << path;  // one line
    EXPECT_NE(msg.find(path), std::string::npos) << "the report names the file: " << msg;
  }
}

TEST_F(TerrainLoaderTest, DirectoryAndMissingFileGiveTheOpenReport) {
  EXPECT_FALSE(Load(dir_.string()));
  EXPECT_EQ(Msg(), "Could not open the file " + dir_.string());
  EXPECT_EQ(Reason(), "Is a directory");
  const std::string missing = (dir_ / "no such grid.asc").string();
  EXPECT_FALSE(Load(missing));
  EXPECT_EQ(Msg(), "Could not open the file " + missing);
  EXPECT_EQ(Reason(), "No such file or directory");
  EXPECT_TRUE(InputUntouched());
}

// A path too long for the report is cut in its middle; both ends stay readable.
TEST_F(TerrainLoaderTest, LongPathsAreShortenedInsideTheReport) {
  // Nested folders give a real file whose path is far longer than the report.
  std::filesystem::path deep = dir_;
  for (int i = 0; i < 4; ++i) deep /= std::string(120, char('a' + i));
  std::filesystem::create_directories(deep);
  const std::string good = (deep / "grid.asc").string();
  std::ofstream(good) << Header("2", "2") << "1 2 3 4\n";
  const std::string bad = (deep / "bad.asc").string();
  std::ofstream(bad) << "NCOLS 2\n";
  const std::string missing = (deep / "missing.asc").string();
  const std::string shortish = (deep / "short.asc").string();
  std::ofstream(shortish) << Header("2", "2") << "1 2 3\n";

  struct Case {
    std::string path, prefix, suffix;
    bool loads;
  };
  const Case cases[] = {
      {good, "The file ", " was loaded succesfully.", true},
      {bad, "The file ", " is no valid ARC|Info ASCII file.", false},
      {missing, "Could not open the file ", "", false},
      {shortish, "The file ", " holds only 3 of 4 heights (2 rows x 2 columns).", false},
  };
  for (const Case& c : cases) {
    ASSERT_GT(c.path.size(), 480u);
    EXPECT_EQ(Load(c.path), c.loads) << Msg();
    const std::string msg = Msg();
    EXPECT_EQ(msg.size(), sizeof loader.msg - 1) << msg;  // the room is used to the last byte
    EXPECT_EQ(msg.substr(0, c.prefix.size() + 20), c.prefix + c.path.substr(0, 20)) << msg;
    const std::string tail = c.path.substr(c.path.size() - 20) + c.suffix;
    EXPECT_EQ(msg.substr(msg.size() - tail.size()), tail) << msg;
    EXPECT_NE(msg.find("..."), std::string::npos) << msg;
    ReleaseGrid();
  }
}

// A path of exactly the room left keeps its full text.
TEST_F(TerrainLoaderTest, PathThatJustFitsIsNotShortened) {
  const std::string prefix = "Could not open the file ";
  std::string path = dir_.string() + "/";
  path += std::string(sizeof loader.msg - 1 - prefix.size() - path.size(), 'p');
  EXPECT_FALSE(Load(path));
  EXPECT_EQ(Msg(), prefix + path);
  EXPECT_FALSE(Load(path + "q"));
  EXPECT_NE(Msg().find("..."), std::string::npos);
}

// 1/30 arc-second is 1/108000 degree, one metre: as a float, 0.00000925926 times 108000 is
// just above 1 and 0.00000925925926 just below; both are one metre.
TEST_F(TerrainLoaderTest, CellSizeOfAThirtiethArcSecondGivesSpacingOne) {
  for (const char* cellsize : {"0.00000925926", "0.00000925925926"}) {
    ASSERT_TRUE(Load(Write("spacing_1.asc", Header("2", "2", cellsize) + "1 2\n3 4\n"))) << Msg();
    EXPECT_EQ(input.grid_space, 1);
    EXPECT_EQ(input.units_per_metre, 1);
    EXPECT_EQ(input.values[1][1], 4);
  }
}

// Pipes have no size to measure beforehand; they are read in growing pieces, and the
// look at a file's first bytes that picks its reader leaves them alone.
TEST_F(TerrainLoaderTest, GridFromAPipeLoads) {
  const std::string fifo = (dir_ / "grid.fifo").string();
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::string body = Header("300", "300");
  for (int i = 0; i < 300 * 300; ++i) body += std::to_string(i % 1000) + (i % 300 == 299 ? "\n" : " ");
  ASSERT_GT(body.size(), size_t(1) << 17);  // more than one piece
  std::thread writer([&] { std::ofstream(fifo, std::ios::binary) << body; });
  ReleaseGrid();
  const bool loaded = loader.LoadTerrainFile(fifo.c_str());
  writer.join();
  ASSERT_TRUE(loaded) << Msg();
  EXPECT_EQ(input.values[299][299], (300 * 300 - 1) % 1000);
  EXPECT_EQ(input.y_max, 999);
}

#ifndef SANITIZED_BUILD
// With the address space capped, a grid that does not fit is reported, not a crash.
// The capped load runs in a fresh copy of this program: memory freed by earlier tests
// would otherwise stay in the heap and blur the cap.
constexpr const char* kCappedGridVariable = "TERRAIN_LOADER_CAPPED_GRID";

TEST_F(TerrainLoaderTest, GridTooLargeForMemoryIsReported) {
  if (const char* path = getenv(kCappedGridVariable)) {
    std::filesystem::remove_all(dir_);
    std::ifstream statm("/proc/self/statm");
    size_t pages = 0;
    statm >> pages;
    rlimit limit{};
    getrlimit(RLIMIT_AS, &limit);
    limit.rlim_cur = pages * sysconf(_SC_PAGESIZE) + (48u << 20);  // the text fits, the grid not
    setrlimit(RLIMIT_AS, &limit);
    memory::SetAvailableForTesting(int64_t{1} << 40);  // past the check of the claim, to the allocation
    const bool loaded = loader.LoadArcASCIIFile(path);
    const std::string expected = std::string("The file ") + path + " holds 4000 x 4000 heights, too many for the memory.";
    const bool clean = !loaded && expected == loader.msg && InputUntouched();
    if (!clean) fprintf(stderr, "loaded %d: %s\n", loaded, loader.msg);
    fflush(nullptr);
    _exit(clean ? 0 : 1);
  }

  std::string body = Header("4000", "4000");
  body.reserve(body.size() + 4000 * 4000 * 2);
  for (int i = 0; i < 4000 * 4000; ++i) body += "1 ";
  const std::string path = Write("big.asc", body);  // 32 MB of text for a 64 MB grid
  body = std::string();

  fflush(nullptr);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    setenv(kCappedGridVariable, path.c_str(), 1);
    execl("/proc/self/exe", "unit_tests", "--gtest_filter=TerrainLoaderTest.GridTooLargeForMemoryIsReported",
          static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status)) << "the reader crashed under a memory cap";
  EXPECT_EQ(WEXITSTATUS(status), 0) << "no clean 'too many for the memory' report";
}
#endif

}  // namespace
