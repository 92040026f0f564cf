// Where a command's lines go: a GUI program has no console of its own.
#pragma once
#include "command/command_line.h"

// Writes the lines to standard output and standard error: a pipe or file as
// it is (UTF-8), else the console of the process that started this one.
void PrintOutput(const CommandOutput &output);
