#include "StartupDialogue.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "Brackenholmer.h"
#include "TerrainLoader.h"

namespace {

// Each line of `text` as a console line of its own.
void PrintLines(const char* text) {
  while (*text != '\0') {
    const char* end = strchr(text, '\n');
    const int length = end ? static_cast<int>(end - text) : static_cast<int>(strlen(text));
    printf("\t%.*s\n\n", length, text);
    text += length + (end ? 1 : 0);
  }
}

}  // namespace

bool GreetAndLoadGrid(command_line::Options& options, char* program, ProgramFiles* files) {
  const char* self = program ? program : "brackenholmer";
  TerrainLoader loader;

  puts("\n\n\t-------------------------------------");
  puts("\t|   Welcome to Brackenholmer 1.0    |");
  puts("\t-------------------------------------\n");

  if (options.files.empty()) {
    printf("\t!!! Usage: %s [TERRAIN FILE] [TEXTURE FILE]!!!\n\n", self);
    return false;
  }
  files->argv = {program};
  for (size_t i = 0; i < options.files.size() && i < 2; ++i) files->argv.push_back(options.files[i].data());
  files->argv.push_back(nullptr);
  const char* grid = files->grid();

  printf("\t%s %s %s\n\n", "Loading terrain file", grid, "..");
  fflush(stdout);
  loader.units = options.degrees ? CellUnits::kDegrees : options.metres ? CellUnits::kMetres : CellUnits::kGuess;
  bool loaded = loader.LoadTerrainFile(grid);
  PrintLines(loader.note);
  printf("\t%s\n\n", loader.msg);
  PrintLines(loader.reason);
  // The viewer opens all the same, with nothing to draw until "Show NODATA" is ticked.
  if (loaded && !GridHoldsHeights()) printf("\t%s\n\n", "The grid holds no heights: every cell is NODATA.");
  // The window takes over next; the console dialogue must be out before it.
  fflush(stdout);
  // A script must tell a refused grid from a viewed one.
  if (!loaded) return false;
  // Said when it shows in four decimals: grids near the equator are drawn all but square.
  if (std::fabs(GridColumnRatio() - 1.0) >= 0.00005) {
    printf("\tThe grid is in degrees around latitude %.4f: its columns are drawn %.4f times as far apart as "
           "its rows (\"Square Cells\" draws them square).\n\n",
           CentreLatitude(input.place, input.rows), GridColumnRatio());
    fflush(stdout);
  }
  return true;
}
