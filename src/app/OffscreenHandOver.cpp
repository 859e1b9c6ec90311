#include "OffscreenHandOver.h"

#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

int HandOverToOffscreenRenderer(char** argv, const char* option) {
  char self[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  std::string path = n > 0 ? std::string(self, static_cast<size_t>(n)) : std::string(argv[0]);
  path = path.substr(0, path.find_last_of('/') + 1) + "brackenholmer-offscreen";
  fflush(stdout);
  execv(path.c_str(), argv);
  printf("\t!!! Cannot start %s for %s: %s !!!\n\n", path.c_str(), option, strerror(errno));
  return 1;
}
