#include "SystemOption.h"

#include "ChannelText.h"

#include <cctype>

namespace kq {

std::vector<std::string> ModelListItems() {
    std::vector<std::string> items;
    for (int code = 0; code < KnownModelCount; ++code) items.push_back(FindModel(code)->OptionText);
    return items;
}

int ModelListIndex(const ClassKQxx53& dev) { return FindModel(dev.Model()) ? dev.Model() : -1; }

int ParseModelCode(const std::string& text) {
    if (text.size() == 1 && text[0] >= '0' && text[0] < '0' + KnownModelCount) return text[0] - '0';
    const auto lower = [](std::string s) {
        for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return s;
    };
    for (int code = 0; code < KnownModelCount; ++code)
        if (lower(text) == lower(FindModel(code)->ModelName)) return code;
    return -1;
}

std::string ModelCodesText() {
    std::string s;
    for (int code = 0; code < KnownModelCount; ++code)
        s += (code ? ", " : "") + std::to_string(code) + " " + FindModel(code)->ModelName;
    return s;
}

std::string ModelDescription(int code) {
    const ModelInfo* m = FindModel(code);
    if (!m) return "an unknown model (code " + std::to_string(code) + ")";
    return std::string(m->ModelName) + " (IF " + (m->RFIF > 0 ? "+" : "") + DecimalText(m->RFIF) +
           " MHz)";
}

void ApplySystemOption(ClassKQxx53& dev, int index) {
    if (!FindModel(index)) throw KqError("No model is chosen.");
    dev.Model(static_cast<uint8_t>(index));
    // Setting the code alone leaves the old model's values in place.
    dev.ApplyModelTable();
    dev.TotalEEWords(RadioEEWords);
}

} // namespace kq
