// The marks the program draws itself, so that they follow any size and
// need no image files.
#pragma once

#include <QPixmap>

namespace kq {

// A transfer's result: a green tick for success, a red cross for failure,
// side pixels square.
QPixmap ResultMark(bool ok, int side);

} // namespace kq
