// Checks and readings of the texts typed into the editing dialogs.
#pragma once

#include "KqErrors.h"

#include <string>

namespace kq {

// An entry of an editing dialog that cannot be accepted; what() is the
// dialog's message. Nothing has been written when it is thrown.
class InvalidEntry : public KqError {
public:
    using KqError::KqError;
};

// Not empty, and only the ASCII digits 0-9.
bool IsDigitText(const std::string& text);
// Not empty, and only ASCII digits and points; any number of points passes
// ("1.2.3"), the reading below takes care of the extra ones.
bool IsDecimalText(const std::string& text);

// Every "," becomes "." so that a value shown with a comma reads back.
std::string CommaToPoint(std::string text);

// The value of the longest leading decimal number of text after CommaToPoint:
// "146.01.25" -> 146.01, "." -> 0, "" -> 0, "12abc" -> 12.
double ReadFreqText(const std::string& text);

// The whole number of a digit text (at most a few digits are expected);
// a text that is not IsDigitText reads as 0.
int ReadDigitText(const std::string& text);

} // namespace kq
