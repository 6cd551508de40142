#include "SystemOption.h"

namespace kq {

std::vector<std::string> ModelListItems() {
    std::vector<std::string> items;
    for (int code = 0; code < KnownModelCount; ++code) items.push_back(FindModel(code)->OptionText);
    return items;
}

int ModelListIndex(const ClassKQxx53& dev) { return FindModel(dev.Model()) ? dev.Model() : -1; }

void ApplySystemOption(ClassKQxx53& dev, int index) {
    if (!FindModel(index)) throw KqError("No model is chosen.");
    dev.Model(static_cast<uint8_t>(index));
    // Setting the code alone leaves the old model's values in place.
    dev.ApplyModelTable();
    dev.TotalEEWords(RadioEEWords);
}

} // namespace kq
