// The options kqprogrammer answers on the terminal, before any window opens.
#pragma once

namespace kq {

// Handles --help, --version and --readme-path: prints the answer and returns
// the exit status. Returns -1 when the program should start its windows.
int HandleInfoOptions(int argc, char** argv);

} // namespace kq
