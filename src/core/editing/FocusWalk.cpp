#include "FocusWalk.h"

namespace kq {

int NextFocusPosition(int now, int last, const std::function<bool(int)>& takes) {
    int pos = now;
    // One round is enough: if no position takes the focus, stay put.
    for (int i = 0; i <= last; ++i) {
        pos = pos + 1 > last ? 0 : pos + 1;
        if (takes(pos)) return pos;
    }
    return now;
}

} // namespace kq
