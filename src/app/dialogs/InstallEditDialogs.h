// Connects the channel table window's edit commands to the dialogs.
#pragma once

namespace kq {

void InstallEditDialogs();

} // namespace kq
