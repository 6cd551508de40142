// What counts as a change to a channel table: a table is changed when a
// save would write another file than the one it was compared with, however
// the user got there (an edit undone by hand is no change).
#pragma once

#include "ClassKQxx53.h"

namespace kq {

// Whether a and b hold the same table: the same image words and model, that
// is the same channel file. A table whose image cannot be built (a
// frequency the divider cannot hold) is compared by its channels and model.
bool SameTable(const ClassKQxx53& a, const ClassKQxx53& b);

} // namespace kq
