#include "TableChange.h"

#include "ChannelFile.h"
#include "KqErrors.h"

#include <optional>
#include <string>

namespace kq {

namespace {

// The channel file a save would write; none when the image cannot be built.
std::optional<std::string> fileOf(ClassKQxx53 dev) {
    try {
        return ChannelFileText(dev);
    } catch (const KqError&) {
        return std::nullopt;
    }
}

bool sameChannelsAndModel(const ClassKQxx53& a, const ClassKQxx53& b) {
    for (int16_t ch = ClassKQxx53::FirstCHNumber(); ch <= ClassKQxx53::LastCHNumber(); ++ch)
        if (a.Channel(ch) != b.Channel(ch)) return false;
    return a.Model() == b.Model() && a.ModelName() == b.ModelName() && a.RFIF() == b.RFIF() &&
           a.ReferOSC() == b.ReferOSC() && a.PLLScaler() == b.PLLScaler();
}

} // namespace

bool SameTable(const ClassKQxx53& a, const ClassKQxx53& b) {
    const auto fa = fileOf(a), fb = fileOf(b);
    if (fa && fb) return *fa == *fb;
    // One that cannot be saved never equals one that can.
    return !fa && !fb && sameChannelsAndModel(a, b);
}

} // namespace kq
