#include <cstdio>
#include <string>
#include <vector>

#include "MeasureCommands.h"
#include "Profile.h"
#include "ProfileFile.h"
#include "TempFile.h"

namespace {

// The profile of the corners the options give, as CSV; a failure says why none is made.
Status ProfileText(const command_line::Options& options, Profile* profile, std::string* csv) {
  std::vector<GridPosition> path;
  const Status parsed = options.profile_geo ? ParseGeoPath(input, options.profile_corners, &path)
                                            : ParseGridPath(input, options.profile_corners, &path);
  if (!parsed.ok()) return parsed;
  *profile = MakeProfile(input, path);
  *csv = ProfileCsv(input, *profile);
  return Status::Ok();
}

}  // namespace

int WriteProfileCommand(const command_line::Options& options) {
  const char* out = options.profile_out.c_str();
  Profile profile;
  std::string csv;
  if (const Status made = ProfileText(options, &profile, &csv); !made.ok()) {
    printf("\tCannot write %s: %s.\n\n", out, made.reason().c_str());
    return 1;
  }
  // WriteWholeFile's reasons are whole sentences that name the file.
  if (const Status written = mesh_export::WriteWholeFile(out, csv); !written.ok()) {
    printf("\t%s\n\n", written.reason().c_str());
    return 1;
  }
  printf("\tWrote the profile to %s: %zu samples, %.1f m long (%.1f m along the ground), climb %.1f m, descent %.1f m",
         out, profile.samples.size(), profile.horizontal_length, profile.ground_length, profile.climb,
         profile.descent);
  if (profile.lowest >= 0) {
    const double low = profile.samples[profile.lowest].height, high = profile.samples[profile.highest].height;
    if (input.units_per_metre == 1) printf(", from %.0f m to %.0f m", low, high);
    else printf(", from %.2f m to %.2f m", low, high);
  } else {
    printf(", no height known along it");
  }
  printf(".\n\n");
  return 0;
}
