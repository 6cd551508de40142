// What the tests share: the message of an expected error, a table whose
// channels all differ, a fresh folder and a file's bytes.
#pragma once

#include "ClassKQxx53.h"
#include "SystemOption.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace kqtest {

// The message of the error E that f throws, "" when it throws none.
template <class E, class F>
std::string ErrorOf(F f) {
    try {
        f();
    } catch (const E& e) {
        return e.what();
    }
    return "";
}

// Makes channels 0 .. n-1 of dev all differ, so any record moved or written
// where it should not be shows: receive from rx MHz and transmit from tx MHz,
// each step MHz up per channel, spacing and power mixed.
inline kq::ClassKQxx53& MarkChannels(kq::ClassKQxx53& dev, int16_t n = 16, double rx = 400, double tx = 450,
                                     double step = 1) {
    for (int16_t ch = 0; ch < n; ++ch) {
        dev.TheRxFreq(ch, rx + step * ch);
        dev.TheTxFreq(ch, tx + step * ch);
        dev.TheRxCHSpace(ch, ch % 2 ? -1 : 0);
        dev.TheTxCHSpace(ch, ch % 3 ? -1 : 0);
        dev.TheRFPower(ch, ch % 5 ? -1 : 0);
    }
    return dev;
}
// Such a table of 16 channels, its model code set (word 1) and nothing else.
inline kq::ClassKQxx53 MarkedDevice(uint8_t model = kq::DefaultModel) {
    kq::ClassKQxx53 dev;
    dev.Model(model);
    return MarkChannels(dev);
}

// A fresh folder of the test's own, removed with all it holds at the end.
struct TempDir {
    std::filesystem::path path;
    explicit TempDir(const std::string& name = "kqtest") {
        std::string pattern = (std::filesystem::temp_directory_path() / (name + "XXXXXX")).string();
        if (!::mkdtemp(pattern.data())) throw std::runtime_error("no temporary folder: " + pattern);
        path = std::filesystem::canonical(pattern);
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
};

inline std::string readAll(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void writeAll(const std::filesystem::path& p, const std::string& text) {
    std::ofstream(p, std::ios::binary) << text;
}

} // namespace kqtest
