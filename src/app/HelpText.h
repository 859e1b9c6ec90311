// What `--help` prints: the usage, the files, the options and the window's keys.
#pragma once

// Prints the help to stdout; `self` is the program's name as it was started.
void PrintHelp(const char* self);
