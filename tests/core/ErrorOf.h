// The message of the error E that f throws, "" when it throws none.
#pragma once

#include <string>

namespace kqtest {

template <class E, class F>
std::string ErrorOf(F f) {
    try {
        f();
    } catch (const E& e) {
        return e.what();
    }
    return "";
}

} // namespace kqtest
