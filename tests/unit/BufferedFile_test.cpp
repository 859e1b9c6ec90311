// The exporters' number forms, read back from the written bytes: seven decimals rounded
// to nearest, and exact decimal fractions of whole units.
#include "BufferedFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <ostream>
#include <string>

namespace {

// What `write` puts into a file.
std::string Written(const std::function<void(mesh_export::BufferedFile&)>& write) {
  char* data = nullptr;
  size_t size = 0;
  FILE* f = open_memstream(&data, &size);
  {
    mesh_export::BufferedFile out(f);
    write(out);
    out.Flush();
    EXPECT_EQ(out.error(), 0);
  }
  fclose(f);
  std::string text(data, size);
  free(data);
  return text;
}

struct FractionCase {
  float value;
  const char* text;
};

void PrintTo(const FractionCase& c, std::ostream* os) { *os << c.text; }

class Fraction : public testing::TestWithParam<FractionCase> {};

// 2/3 as a float is 0.666666686...: rounded 0.6666667, cut off 0.6666666.
TEST_P(Fraction, IsRoundedToSevenDecimals) {
  const FractionCase c = GetParam();
  EXPECT_EQ(Written([&](mesh_export::BufferedFile& out) { out.Fraction(c.value); }), c.text);
}

INSTANTIATE_TEST_SUITE_P(Values, Fraction,
                         testing::Values(FractionCase{2.0f / 3, "0.6666667"}, FractionCase{-2.0f / 3, "-0.6666667"},
                                         FractionCase{0.123456789f, "0.1234568"}, FractionCase{0.5f, "0.5"},
                                         FractionCase{-1.0f, "-1"}, FractionCase{0.0f, "0"},
                                         FractionCase{12.25f, "12.25"}, FractionCase{1e-8f, "0"}));

TEST(BufferedFileDecimal, IsExactWithTrailingZerosDropped) {
  const std::string text = Written([](mesh_export::BufferedFile& out) {
    for (auto [value, decimals] : {std::pair{12345, 2}, {-8, 2}, {-200, 2}, {0, 2}, {7, 0}, {-120, 3}, {5, 1}}) {
      out.Decimal(value, decimals);
      out.Char(' ');
    }
  });
  EXPECT_EQ(text, "123.45 -0.08 -2 0 7 -0.12 0.5 ");
}

}  // namespace
