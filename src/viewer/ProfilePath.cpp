#include "ProfilePath.h"

#include "TerrainLoader.h"

namespace {

std::vector<GridPosition> path;
Profile profile;
unsigned long version = 0;

void PathChanged() {
  profile = MakeProfile(input, path);
  ++version;
}

}  // namespace

const std::vector<GridPosition>& ProfilePath() { return path; }
const Profile& CurrentProfile() { return profile; }
unsigned long ProfilePathVersion() { return version; }

void AddProfilePoint(GridPosition p) {
  path.push_back(p);
  PathChanged();
}

void RemoveLastProfilePoint() {
  if (path.empty()) return;
  path.pop_back();
  PathChanged();
}

void ClearProfilePath() {
  if (path.empty()) return;
  path.clear();
  PathChanged();
}
