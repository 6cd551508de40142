// Where kqtool's transfers run: the machine's serial ports, or radios on a
// simulated line in virtual time when a test runs the commands in-process.
#pragma once

#include "LinkRunner.h"

namespace kqtool {

const kq::LinkEndsMaker& LinkEnds();
void SetLinkEnds(kq::LinkEndsMaker ends);

} // namespace kqtool
