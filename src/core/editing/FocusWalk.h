// The Enter-key walk of the editing dialogs: the next focus position after
// now, wrapping after last, skipping positions whose control cannot take
// the focus (an option that is not selected, a disabled field).
#pragma once

#include <functional>

namespace kq {

int NextFocusPosition(int now, int last, const std::function<bool(int)>& takes);

} // namespace kq
