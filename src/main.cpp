// Entry point: greets the user, loads the height grid named on the command line and
// hands over to the viewer window.
#include <cstdio>

#include "Brackenholmer.h"
#include "TerrainLoader.h"

int main(int argc, char** argv) {
  TerrainLoader loader;

  puts("\n\n\t-------------------------------------");
  puts("\t|   Welcome to Brackenholmer 1.0    |");
  puts("\t-------------------------------------\n");

  if (argc < 2 || argv[1] == nullptr) {
    printf("\t!!! Usage: %s [TERRAIN FILE] [TEXTURE FILE]!!!\n\n", argv[0] ? argv[0] : "brackenholmer");
    return 1;
  }

  printf("\t%s %s %s\n\n", "Loading terrain file", argv[1], "..");
  bool loaded = loader.LoadArcASCIIFile(argv[1]);
  printf("\t%s\n\n", loader.msg);
  if (loader.reason[0] != '\0') printf("\t%s\n\n", loader.reason);
  // The window takes over next; the console dialogue must be out before it.
  fflush(stdout);
  // A script must tell a refused grid from a viewed one.
  if (!loaded) return 1;

  return OpenViewer(argc, argv);
}
