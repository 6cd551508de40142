// How two images differ, as lines: differing header words, then the rows of
// differing channels, each line tagged with its side. Shared by diff and
// verify.
#pragma once

#include "ClassKQxx53.h"
#include "ImageDiff.h"

#include <string>

namespace kqtool {

// tagA and tagB are of equal width ("< ", "> "); "" when a and b are the same.
std::string DifferenceText(const kq::ClassKQxx53& a, const kq::ClassKQxx53& b,
                           const kq::ImageDiff& d, const std::string& tagA,
                           const std::string& tagB);

} // namespace kqtool
