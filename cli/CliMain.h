#pragma once
// The program started with a command (`tsubaki report …`, `tsubaki export …`,
// `tsubaki --help`): runs it without any window, not held back by a window
// program running, and returns the exit status (cli/CommandLine.h).

namespace cli {

// Whether the arguments ask for the command line.
bool WantsCommandLine(int argc, char* argv[]);

int CommandLineMain(int argc, char* argv[]);

}  // namespace cli
