// Byte-level text helpers the file and message code share.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kq {

// Length of the UTF-8 sequence at s[i] and its code point; 0 when the bytes
// there are not a valid sequence, with *broken (if given) set to how many
// bytes the broken sequence spans (its lead byte and the continuation bytes
// that follow it).
std::size_t DecodeUtf8(const std::string& s, std::size_t i, uint32_t& cp,
                       std::size_t* broken = nullptr);

// The system's words for an errno value.
std::string ErrnoText(int err);

// ASCII letters in lower case; other bytes as they are.
std::string AsciiLower(std::string s);

} // namespace kq
