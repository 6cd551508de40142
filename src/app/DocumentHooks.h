// Commands of a channel table window that open windows living in other
// folders (edit dialogs, radio transfers). Those folders install their entry
// points at start-up; an empty hook means the command is not built in.
#pragma once

#include <functional>

namespace kq {

class frmDocument;

struct DocumentHooks {
    std::function<void(frmDocument&)> ChannelEdit;   // OPTION > CHANNEL, double-click, Enter
    std::function<void(frmDocument&)> AutoFreq;      // OPTION > AUTO FREQUENCY
    std::function<void(frmDocument&)> SystemOption;  // OPTION > SYSTEM
    std::function<void(frmDocument&)> Upload;        // DEVICE > UPLOAD
    std::function<void(frmDocument&)> Download;      // DEVICE > DOWNLOAD
    std::function<void(frmDocument&)> SerialPorts;   // DEVICE > PORTS
};

DocumentHooks& documentHooks();

} // namespace kq
