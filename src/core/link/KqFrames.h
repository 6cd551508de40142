// The radio's ASCII word frames and the hex digit reader of its replies.
#pragma once

#include <string>

namespace kq {

// Value of the first character read as a hex digit; anything else counts 0,
// so a garbled reply digit reads as 0 rather than failing the exchange.
short HexDigitValue(const std::string& s);

// "AAdddd\r": low 8 bits of the address, low 16 bits of the word.
std::string WriteFrame(int word, int addr);
// "AA00MD\r": asks the radio for the word at addr.
std::string ReadFrame(int addr);
// The word in the first four characters of a reply (fewer than four: -1).
int ParseWordReply(const std::string& reply);

} // namespace kq
