// kqtool: channel files and radio transfers from the command line.
#include "Kqtool.h"

int main(int argc, char** argv) { return kqtool::Main(argc, argv); }
