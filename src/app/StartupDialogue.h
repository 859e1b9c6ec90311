// The console dialogue before the window or the file: the greeting, the grid's loading
// and what the console says about the grid.
#pragma once

#include <vector>

#include "CommandLine.h"

// The program and its files as the window and the pictures take them, argv-like:
// {program, GRID, TEXTURE or nothing, nullptr}.
struct ProgramFiles {
  std::vector<char*> argv;

  const char* grid() const { return argv[1]; }
  const char* texture() const { return argv[2]; }  // null when none was given
  int count() const { return static_cast<int>(argv.size()) - 1; }
};

// Greets the user and loads the grid the options name, printing how it went. False, with
// the reason printed, when no grid is given or it cannot be loaded (exit status 1).
// `files` points into `options`' file names, which must outlive it.
bool GreetAndLoadGrid(command_line::Options& options, char* program, ProgramFiles* files);
