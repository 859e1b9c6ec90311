// The command line: options anywhere among the files, values checked whole, and the
// settings they give.
#include "CommandLine.h"

#include <gtest/gtest.h>

#include <vector>

#include "Brackenholmer.h"
#include "CurrentColourRamp.h"
#include "LookGlobals.h"
#include "MeasureGlobals.h"

namespace {

Status Parse(std::vector<const char*> words, command_line::Options* o) {
  words.insert(words.begin(), "brackenholmer");
  return command_line::Parse(static_cast<int>(words.size()), words.data(), o);
}

TEST(CommandLine, OptionsStandAnywhereAndGiveThePanelsSettings) {
  command_line::Options o;
  const Status parsed = Parse({"--precision", "8", "g.asc", "--triangles", "--simplify", "--no-strict", "t.bmp",
                     "--shading", "plain", "--error", "3", "--wireframe", "--no-light", "--y-scale", "-2.5",
                     "--xz-scale", "0", "--camera", "1,-2,3e3,-30,270", "--size", "800x600", "--snapshot",
                     "v.png"},
                              &o);
  ASSERT_TRUE(parsed.ok()) << parsed.reason();
  EXPECT_EQ(o.files, (std::vector<std::string>{"g.asc", "t.bmp"}));
  EXPECT_EQ(o.snapshot_path, "v.png");
  EXPECT_EQ(o.width, 800);
  EXPECT_EQ(o.height, 600);

  const int saved[] = {max_precision, max_approx_error, mesh_mode, mesh_simplification, strict_error,
                       rendering_mode, wireframe, light};
  const float saved_scales[] = {y_multiplier, xz_multiplier};
  command_line::ApplySettings(o);
  EXPECT_EQ(max_precision, 8);
  EXPECT_EQ(max_approx_error, 3);
  EXPECT_EQ(mesh_mode, 1);
  EXPECT_EQ(mesh_simplification, 1);
  EXPECT_EQ(strict_error, 0);
  EXPECT_EQ(rendering_mode, 2);
  EXPECT_EQ(wireframe, 1);
  EXPECT_EQ(light, 0);
  EXPECT_EQ(y_multiplier, -2.5f);
  EXPECT_EQ(xz_multiplier, 0.0f);
  ASSERT_TRUE(start_camera_given);
  EXPECT_EQ(start_camera.y, -2.0);
  EXPECT_EQ(start_camera.z, 3000.0);
  EXPECT_EQ(start_camera.tilt, -30.0);
  EXPECT_EQ(start_camera.heading, 270.0);

  // No option leaves every setting as it was.
  max_precision = 6;
  ASSERT_TRUE(Parse({"g.asc"}, &o).ok());
  command_line::ApplySettings(o);
  EXPECT_EQ(max_precision, 6);
  EXPECT_FALSE(start_camera_given);
  EXPECT_EQ(o.width, 1024);
  EXPECT_EQ(o.height, 768);

  max_precision = saved[0], max_approx_error = saved[1], mesh_mode = saved[2], mesh_simplification = saved[3];
  strict_error = saved[4], rendering_mode = saved[5], wireframe = saved[6], light = saved[7];
  y_multiplier = saved_scales[0], xz_multiplier = saved_scales[1];
}

TEST(CommandLine, ValuesThatAreNotWholeOrOutOfRangeAreRefusedByName) {
  const std::vector<std::vector<const char*>> refused = {
      {"--precision", "101"},       {"--precision", "8.5"},  {"--error", "0"},
      {"--size", "800x"},           {"--size", "800x600x2"}, {"--size", "16385x10"},
      {"--y-scale", "nan"},         {"--xz-scale", "-1"},    {"--camera", "1,2,3,90,0"},
      {"--camera", "1,2,3,4,5,6"},  {"--camera", "1,,3,4,5"}, {"--export", "mesh.txt"},
      {"--snapshot", "view.jpg"},   {"--shading", "colour"}, {"--base"},
      {"--export", "a.stl", "--snapshot", "a.png"},
      {"--export", "a.stl", "--export", "b.stl"},
      {"--snapshot", "a.png", "--snapshot", "b.png"},
      {"--degrees", "--metres"},
      {"--screen-error", "nan"},    {"--screen-error", "1px"}, {"--triangle-cap", "1e6"},
      {"--screen-error"},
      {"t.bmp", "t.bmp"},  // a third file
      {"--video", "a.mov", "--flight", "f"},    {"--video", "a.mp4"},  {"--flight", "f"},
      {"--video", "a.mp4", "--flight", "f", "--snapshot", "a.png"},
      {"--fps", "0", "--video", "a.mp4", "--flight", "f"},
      {"--fps", "30"},
      {"--print-size", "0.5", "--export", "a.stl"}, {"--print-size", "150"},
      {"--base-thickness", "3", "--export", "a.stl", "--base"},
      {"--profile", "1,2,3,4"},  {"--profile", "1,2,3,4", "a.txt"}, {"--profile-geo", "1,2,3,4", "a.gpkg"},
      {"--profile", "1,2,3,4", "a.csv", "--export", "a.stl"},
      {"--profile", "1,2,3,4", "a.csv", "--profile", "1,2,3,4", "b.csv"},
      {"--contours-out", "a.shp"}, {"--contours-out", "a.gpkg", "--snapshot", "a.png"},
  };
  for (const auto& words : refused) {
    command_line::Options o;
    std::vector<const char*> line{"g.asc"};
    line.insert(line.end(), words.begin(), words.end());
    const Status parsed = Parse(line, &o);
    EXPECT_FALSE(parsed.ok()) << words[0] << " " << (words.size() > 1 ? words[1] : "");
    EXPECT_NE(parsed.reason().find(words[0]), std::string::npos) << parsed.reason();
  }
}

// Every limited option at its limits and just past them: the limits themselves are taken.
struct Edge {
  const char* option;
  const char* value;
  bool taken;
};

void PrintTo(const Edge& e, std::ostream* os) { *os << e.option << " " << e.value; }

class CommandLineEdge : public testing::TestWithParam<Edge> {};

TEST_P(CommandLineEdge, TakesTheLimitsAndRefusesJustPastThem) {
  const Edge& e = GetParam();
  command_line::Options o;
  const Status parsed = Parse({"g.asc", e.option, e.value}, &o);
  EXPECT_EQ(parsed.ok(), e.taken) << parsed.reason();
  if (!e.taken) {
    EXPECT_NE(parsed.reason().find(e.option), std::string::npos) << parsed.reason();
  }
}

INSTANTIATE_TEST_SUITE_P(
    EveryLimit, CommandLineEdge,
    testing::Values(Edge{"--precision", "0", true}, Edge{"--precision", "100", true},
                    Edge{"--precision", "-1", false}, Edge{"--precision", "101", false},
                    Edge{"--error", "1", true}, Edge{"--error", "100", true}, Edge{"--error", "0", false},
                    Edge{"--error", "101", false}, Edge{"--screen-error", "0.25", true},
                    Edge{"--screen-error", "20", true}, Edge{"--screen-error", "0.249", false},
                    Edge{"--screen-error", "20.001", false}, Edge{"--triangle-cap", "1000", true},
                    Edge{"--triangle-cap", "100000000", true}, Edge{"--triangle-cap", "999", false},
                    Edge{"--triangle-cap", "100000001", false}, Edge{"--size", "1x1", true},
                    Edge{"--size", "16384x16384", true}, Edge{"--size", "0x1", false},
                    Edge{"--size", "1x0", false}, Edge{"--size", "16385x1", false},
                    Edge{"--size", "1x16385", false}, Edge{"--y-scale", "-20", true},
                    Edge{"--y-scale", "20", true}, Edge{"--y-scale", "-20.001", false},
                    Edge{"--y-scale", "20.001", false}, Edge{"--xz-scale", "0", true},
                    Edge{"--xz-scale", "20", true}, Edge{"--xz-scale", "-0.001", false},
                    Edge{"--xz-scale", "20.001", false}, Edge{"--camera", "0,0,0,-89.5,0", true},
                    Edge{"--camera", "0,0,0,89.5,0", true}, Edge{"--camera", "0,0,0,-89.6,0", false},
                    Edge{"--camera", "0,0,0,89.6,0", false}, Edge{"--snapshot", "a.png", true},
                    Edge{"--snapshot", ".png", false}, Edge{"--export", "a.obj", true},
                    Edge{"--export", "a.stl", true}, Edge{"--export", "a.ply", true},
                    Edge{"--export", ".obj", false}, Edge{"--export", ".stl", false},
                    Edge{"--export", ".ply", false}, Edge{"--contours", "0.01", true},
                    Edge{"--contours", "10000", true}, Edge{"--contours", "0.009", false},
                    Edge{"--contours", "10001", false}));

// The measuring options: the profile takes its corners and its file, the contours their
// interval; --legend brings the scale bar and north arrow, and the settings read back.
TEST(CommandLine, MeasuringOptionsTakeTheirWordsAndReadBack) {
  command_line::Options o;
  ASSERT_TRUE(Parse({"g.asc", "--profile-geo", "-84.4,36.5,-84.2,36.6", "p.csv", "--contours-out", "c.geojson",
                     "--contours", "25", "--scale-bar"}, &o).ok());
  EXPECT_TRUE(o.profile_geo);
  EXPECT_EQ(o.profile_corners, "-84.4,36.5,-84.2,36.6");
  EXPECT_EQ(o.profile_out, "p.csv");
  EXPECT_EQ(o.contours_out, "c.geojson");
  command_line::ApplySettings(o);
  EXPECT_EQ(show_contours, 1);
  EXPECT_EQ(contour_interval, 25.0f);
  EXPECT_EQ(show_scale_bar, 1);
  EXPECT_EQ(show_north_arrow, 0);
  EXPECT_EQ(command_line::DescribeSettings({0, 0, 0, 30, 0}), " --contours 25 --scale-bar --camera 0,0,0,30,0");
  ASSERT_TRUE(Parse({"g.asc", "--legend"}, &o).ok());
  command_line::ApplySettings(o);
  EXPECT_EQ(show_north_arrow, 1);
  EXPECT_EQ(command_line::DescribeSettings({0, 0, 0, 30, 0}), " --legend --contours 25 --camera 0,0,0,30,0");
}

// Screen Error's options: the bound turns the mode on, --no-screen-error off again with the
// bound kept, the cap stands apart; each reads back from what the window prints.
TEST(CommandLine, ScreenErrorOptionsSetTheModeItsBoundAndCap) {
  command_line::Options o;
  ASSERT_TRUE(Parse({"g.asc", "--screen-error", "0.3", "--triangle-cap", "250000"}, &o).ok());
  command_line::ApplySettings(o);
  EXPECT_EQ(screen_error, 1);
  EXPECT_EQ(max_screen_error, 0.3f);
  EXPECT_EQ(screen_triangle_cap, 250000);
  EXPECT_EQ(command_line::DescribeSettings({0, 0, 0, 30, 0}),
            " --screen-error 0.3 --triangle-cap 250000 --camera 0,0,0,30,0");

  ASSERT_TRUE(Parse({"g.asc", "--screen-error", "2", "--no-screen-error"}, &o).ok());
  command_line::ApplySettings(o);
  EXPECT_EQ(screen_error, 0);
  EXPECT_EQ(max_screen_error, 2.0f);
  EXPECT_EQ(screen_triangle_cap, 250000);  // not given: as it was
  EXPECT_EQ(command_line::DescribeSettings({0, 0, 0, 30, 0}),
            " --screen-error 2 --no-screen-error --triangle-cap 250000 --camera 0,0,0,30,0");

  screen_error = 1, max_screen_error = 1, screen_triangle_cap = 1000000;
  EXPECT_EQ(command_line::DescribeSettings({0, 0, 0, 30, 0}), " --screen-error 1 --camera 0,0,0,30,0");
  screen_error = 0;
  EXPECT_EQ(command_line::DescribeSettings({0, 0, 0, 30, 0}), " --camera 0,0,0,30,0");
}

// The window prints the options of what it shows; read back, they give the same settings.
TEST(CommandLine, DescribedSettingsReadBackToTheSame) {
  const int saved[] = {max_precision, max_approx_error, mesh_mode, mesh_simplification, strict_error,
                       rendering_mode, wireframe, light};
  const float saved_scales[] = {y_multiplier, xz_multiplier};
  max_precision = 6, max_approx_error = 10, mesh_mode = 0, mesh_simplification = 0, strict_error = 1;
  rendering_mode = 0, wireframe = 0, light = 1, y_multiplier = 1, xz_multiplier = 1;
  EXPECT_EQ(command_line::DescribeSettings({1.5, -2, 3, 30, 0}), " --camera 1.5,-2,3,30,0");

  max_precision = 11, max_approx_error = 4, mesh_mode = 1, mesh_simplification = 1, strict_error = 0;
  rendering_mode = 1, wireframe = 1, light = 0, y_multiplier = 0.1f, xz_multiplier = 2.7f;
  screen_error = 1, max_screen_error = 0.35f, screen_triangle_cap = 1234;
  const command_line::CameraPlace camera{-30000.123456, 22000, 1.0 / 3, 29.99, -45};
  command_line::Options degrees;
  degrees.degrees = true;
  command_line::ApplySettings(degrees);
  const std::string described = command_line::DescribeSettings(camera);
  EXPECT_EQ(described,
            " --degrees --screen-error 0.35 --triangle-cap 1234 --precision 11 --error 4 --triangles --simplify --no-strict --shading texture --wireframe"
            " --no-light"
            " --y-scale 0.100000001 --xz-scale 2.70000005 --camera -30000.12346,22000,0.3333333333,29.99,-45");
  std::vector<std::string> words{"brackenholmer", "g.asc"};
  for (size_t at = 1, end; at < described.size(); at = end + 1) {
    end = described.find(' ', at);
    if (end == std::string::npos) end = described.size();
    words.push_back(described.substr(at, end - at));
  }
  std::vector<const char*> argv;
  for (const std::string& w : words) argv.push_back(w.c_str());
  command_line::Options o;
  const Status parsed = command_line::Parse(static_cast<int>(argv.size()), argv.data(), &o);
  ASSERT_TRUE(parsed.ok()) << parsed.reason();
  max_precision = 6, max_approx_error = 10, mesh_mode = 0, mesh_simplification = 0, strict_error = 1;
  rendering_mode = 0, wireframe = 0, light = 1, y_multiplier = 1, xz_multiplier = 1;
  screen_error = 0, max_screen_error = 1, screen_triangle_cap = 1000000;
  command_line::ApplySettings(o);
  EXPECT_EQ(command_line::DescribeSettings(camera), described);

  max_precision = saved[0], max_approx_error = saved[1], mesh_mode = saved[2], mesh_simplification = saved[3];
  strict_error = saved[4], rendering_mode = saved[5], wireframe = saved[6], light = saved[7];
  y_multiplier = saved_scales[0], xz_multiplier = saved_scales[1];
  start_camera_given = false;
  command_line::ApplySettings(command_line::Options{});
}

}  // namespace

namespace {

// --colors takes a ramp's name or a colour table, and the described settings name it again.
TEST(CommandLine, ColorsTakeANameOrATableAndReadBack) {
  command_line::Options o;
  ASSERT_TRUE(Parse({"g.asc", "--colors", "gray"}, &o).ok());
  ASSERT_TRUE(command_line::ReadColourFile(&o).ok());
  command_line::ApplySettings(o);
  EXPECT_EQ(colour_ramp, kGreyRamp);
  EXPECT_EQ(command_line::DescribeSettings({0, 0, 0, 30, 0}), " --colors grey --camera 0,0,0,30,0");

  ASSERT_TRUE(Parse({"--colors", "hypsometric"}, &o).ok());
  command_line::ApplySettings(o);
  EXPECT_EQ(command_line::DescribeSettings({0, 0, 0, 30, 0}), " --colors hypsometric --camera 0,0,0,30,0");

  const std::string table = TEST_SOURCE_DIR "/data/colours/table.txt";
  ASSERT_TRUE(Parse({"--colors", table.c_str()}, &o).ok());
  ASSERT_TRUE(command_line::ReadColourFile(&o).ok());
  command_line::ApplySettings(o);
  EXPECT_EQ(colour_ramp, kFileRamp);
  EXPECT_TRUE(ColourRampFileLoaded());
  EXPECT_EQ(command_line::DescribeSettings({0, 0, 0, 30, 0}),
            " --colors " + command_line::ShellWord(table) + " --camera 0,0,0,30,0");

  const std::string bad = TEST_SOURCE_DIR "/data/colours/bad_value.txt";
  ASSERT_TRUE(Parse({"--colors", bad.c_str()}, &o).ok());
  EXPECT_EQ(command_line::ReadColourFile(&o).reason(), bad + " line 4: \"300\" is no colour value from 0 to 255");
  EXPECT_FALSE(Parse({"--colors"}, &o).ok());
  EXPECT_EQ(command_line::ShellWord("a b's"), "'a b'\\''s'");
}

}  // namespace
