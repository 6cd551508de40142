// kqtool as a function: the program runs it, and tests run its commands
// in-process over a simulated radio (see RadioLink.h).
#pragma once

namespace kqtool {

// Runs the command line argv[1..argc-1]; returns the exit status.
int Main(int argc, char** argv);

} // namespace kqtool
