#include <cstdio>
#include <string>

#include "ConsoleProgress.h"
#include "ContourFile.h"
#include "Contours.h"
#include "MeasureCommands.h"

int WriteContoursCommand(const command_line::Options& options) {
  const std::string& out = options.contours_out;
  const double interval = options.contours > 0 ? options.contours : AutomaticContourInterval(input);
  ContourFileCounts counts;
  ConsoleProgress progress("Writing " + out);
  const Status written =
      WriteContourFile(input, interval, out, &counts, [&](double done) { progress.Update(done); });
  progress.Done();
  if (!written.ok()) {
    printf("\tCannot write %s: %s.\n\n", out.c_str(), written.reason().c_str());
    return 1;
  }
  printf("\tWrote %lld contour line%s at %d level%s (every %g m) to %s.\n\n", counts.lines,
         counts.lines == 1 ? "" : "s", counts.levels, counts.levels == 1 ? "" : "s", interval, out.c_str());
  return 0;
}
