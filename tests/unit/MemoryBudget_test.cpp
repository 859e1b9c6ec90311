// Grids that claim more heights than the memory left are refused before anything is
// allocated, with the figures; tiny files that claim huge grids included.
#include <gdal.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "ChildProcess.h"
#include "MemoryBudget.h"
#include "TerrainLoaderFixture.h"

namespace {

struct Claim {
  const char* name;
  std::string (*make)(const std::string& path);
  double free_bytes;
  const char* refusal;  // after "The file PATH"
};

void PrintTo(const Claim& claim, std::ostream* os) { *os << claim.name; }

std::string Text(const std::string& path, const std::string& text) {
  std::ofstream(path) << text;
  return path;
}

// 300 columns and 200 rows of heights: 60,000 points at 35 bytes are 2.1 MB.
std::string SmallAscii(const std::string& path) {
  std::string body = "ncols 300\nnrows 200\nxllcorner 0\nyllcorner 0\ncellsize 0.001\nNODATA_value -9999\n";
  for (int i = 0; i < 300 * 200; ++i) body += "7 ";
  return Text(path, body);
}

// 200 bytes of VRT that claim 100000 x 100000 heights: 350 GB at 35 bytes a point.
std::string HugeVrt(const std::string& path) {
  return Text(path, "<VRTDataset rasterXSize=\"100000\" rasterYSize=\"100000\">\n"
                    "  <VRTRasterBand dataType=\"Int16\" band=\"1\"/>\n</VRTDataset>\n");
}

// A GeoTIFF of 100000 x 100000 heights whose blocks were never written.
std::string SparseGeoTiff(const std::string& path) {
  GDALAllRegister();
  const char* options[] = {"SPARSE_OK=TRUE", "TILED=YES", "BLOCKXSIZE=4096", "BLOCKYSIZE=4096", nullptr};
  GDALClose(GDALCreate(GDALGetDriverByName("GTiff"), path.c_str(), 100000, 100000, 1, GDT_Int16,
                       const_cast<char**>(options)));
  return path;
}

class GridBudgetTest : public TerrainLoaderTest, public testing::WithParamInterface<Claim> {};

TEST_P(GridBudgetTest, ClaimBeyondTheMemoryLeftIsRefusedWithTheFigures) {
  const Claim& claim = GetParam();
  const std::string path = claim.make((dir_ / claim.name).string());
  // In a child with its address space capped 2 GB above its size, so that a reader that
  // allocates the claim fails instead of taking the machine's memory.
  const auto outcome = child_process::Run([&] {
#ifndef SANITIZED_BUILD
    child_process::CapAddressSpaceAbove(size_t{2} << 30);
#endif
    memory::SetAvailableForTesting(static_cast<int64_t>(claim.free_bytes));
    const bool loaded = loader.LoadTerrainFile(path.c_str());
    printf("%s", loader.msg);
    fflush(stdout);
    return loaded || !InputUntouched() ? 1 : 0;
  });
  ASSERT_TRUE(outcome.exited) << "the reader crashed";
  EXPECT_EQ(outcome.out, "The file " + path + claim.refusal);
  EXPECT_EQ(outcome.status, 0) << "the grid was loaded or `input` changed";
}

INSTANTIATE_TEST_SUITE_P(
    Readers, GridBudgetTest,
    testing::Values(Claim{"small.asc", SmallAscii, 1.0e6,
                          " would need 2.1 MB for its 200 x 300 heights; this machine has 1.0 MB free."},
                    Claim{"huge.vrt", HugeVrt, 22.1e9,
                          " would need 350.0 GB for its 100000 x 100000 heights; this machine has 22.1 GB free."},
                    Claim{"sparse.tif", SparseGeoTiff, 22.1e9,
                          " would need 350.0 GB for its 100000 x 100000 heights; this machine has 22.1 GB free."}),
    [](const testing::TestParamInfo<Claim>& info) { return std::to_string(info.index); });

#ifndef SANITIZED_BUILD
// An address-space limit counts from what the process already holds.
TEST(MemoryBudget, AddressSpaceLimitBoundsTheRoomLeft) {
  const auto outcome = child_process::Run([] {
    child_process::CapAddressSpaceAbove(size_t{100} << 20);
    const memory::Room room = memory::Available();
    printf("room %lld bytes, process limit %d", static_cast<long long>(room.bytes), room.process_limit ? 1 : 0);
    fflush(stdout);
    // The heap may give pages back between the cap and the count: a little above the cap
    // is the same room.
    return room.process_limit && room.bytes > (90 << 20) && room.bytes < (110 << 20) ? 0 : 1;
  });
  EXPECT_TRUE(outcome.exited && outcome.status == 0) << outcome.out;
}
#endif

}  // namespace
