// kqradio's options: the radio it plays, as its command line describes it.
// kqradio reads them, and tests build the same radio on a simulated line.
#pragma once

#include "RadioSetup.h"

#include <string>
#include <vector>

namespace kqradio {

using kq::RadioSetup;

// 0: go on; otherwise the exit status (help or version shown: -1; a bad
// option, after its message: the usage status).
int ParseRadioOptions(int argc, char** argv, RadioSetup& setup);
// The same for a list of options; throws std::invalid_argument for a bad one.
RadioSetup ParseRadioOptions(const std::vector<std::string>& options);

} // namespace kqradio
