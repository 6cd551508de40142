#include "RadioLink.h"

namespace kqtool {

namespace {
kq::LinkEndsMaker& ends() {
    static kq::LinkEndsMaker e = kq::SerialPortEnds();
    return e;
}
} // namespace

const kq::LinkEndsMaker& LinkEnds() { return ends(); }
void SetLinkEnds(kq::LinkEndsMaker e) { ends() = std::move(e); }

} // namespace kqtool
