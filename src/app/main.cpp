// Entry point: reads the command line, answers --help and --version, greets the user and
// loads the grid, then hands over to the viewer window or writes a mesh file. Pictures
// without a window come from a second program built from this file
// (BRACKENHOLMER_OFFSCREEN) with Mesa's off-screen renderer in place of the system's
// OpenGL, to which --snapshot and --video hand over.
#include <cstdio>
#include <new>

#include "Brackenholmer.h"
#include "CommandLine.h"
#include "HelpText.h"
#include "StartupDialogue.h"
#ifdef BRACKENHOLMER_OFFSCREEN
#include "OffscreenRender.h"
#include "OffscreenVideo.h"
#else
#include "MeasureCommands.h"
#include "MeshExportCommand.h"
#include "OffscreenHandOver.h"
#endif

static int Run(int argc, char** argv) {
  const char* self = argv[0] ? argv[0] : "brackenholmer";
  command_line::Options options;
  const Status parsed = command_line::Parse(argc, argv, &options);
  if (!parsed.ok()) {
    printf("\t!!! %s !!!\n\n", parsed.reason().c_str());
    return 2;
  }
  if (options.help) {
    PrintHelp(self);
    return 0;
  }
  if (options.version) {
    puts("Brackenholmer 1.0");
    return 0;
  }
#ifdef BRACKENHOLMER_OFFSCREEN
  if (options.snapshot_path.empty() && options.video_path.empty()) {
    printf("\t!!! %s draws pictures: --snapshot OUT.png is needed !!!\n\n", self);
    return 2;
  }
  // A flight that cannot be flown is refused before the grid is read.
  Flight flight;
  if (!options.video_path.empty()) {
    if (const Status read = ReadFlight(options.flight_path, &flight); !read.ok()) {
      printf("\tCannot render %s: %s.\n\n", options.video_path.c_str(), read.reason().c_str());
      return 1;
    }
  }
#else
  if (!options.snapshot_path.empty()) return HandOverToOffscreenRenderer(argv, "--snapshot");
  if (!options.video_path.empty()) return HandOverToOffscreenRenderer(argv, "--video");
#endif

  // A colour table that cannot be used stops the program as a grid that cannot be loaded.
  if (const Status colours = command_line::ReadColourFile(&options); !colours.ok()) {
    printf("\t!!! %s !!!\n\n", colours.reason().c_str());
    return 1;
  }

  ProgramFiles files;
  if (!GreetAndLoadGrid(options, argv[0], &files)) return 1;

  command_line::ApplySettings(options);
  int status = 0;
#ifdef BRACKENHOLMER_OFFSCREEN
  if (!options.video_path.empty())
    status = RenderVideo(options.video_path.c_str(), flight, options.fps, options.width, options.height, files.count(),
                         files.argv.data());
  else
    status = RenderSnapshot(options.snapshot_path.c_str(), options.width, options.height, files.count(),
                            files.argv.data());
#else
  const bool measuring = !options.profile_out.empty() || !options.contours_out.empty();
  if (measuring) {
    if (!options.profile_out.empty()) status = WriteProfileCommand(options);
    if (status == 0 && !options.contours_out.empty()) status = WriteContoursCommand(options);
  } else if (!options.export_path.empty()) {
    width = options.width;
    height = options.height;
    status = ExportMesh(options.export_path.c_str(), files.texture(), options);
  } else {
    width = options.width;
    height = options.height;
    status = OpenViewer(files.count(), files.argv.data());
  }
#endif
  fflush(stdout);
  return status;
}

int main(int argc, char** argv) {
  // A picture or a mesh that runs out of memory where nothing else catches it ends with a
  // reason and the status of an unwritten file, not with an abort.
  try {
    return Run(argc, argv);
  } catch (const std::bad_alloc&) {
    printf("\tNot enough memory to go on: nothing more is written.\n\n");
    fflush(stdout);
    return 1;
  }
}
