// Channel files (.KQ): the radio's EEPROM image as text, one number 0..255
// per CR LF line: 256 header numbers, then a high and a low byte per word.
#pragma once

#include "ClassKQxx53.h"
#include "FileSave.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace kq {

// The version text stored in every channel file header.
inline constexpr char AppVersion[] = "Ver1.10";

constexpr int ChannelFileHeaderSize = 256;

// A sound channel file is about 1.5 kB; anything far larger is not one, and
// reading it whole would only waste memory.
inline constexpr std::uintmax_t MaxChannelFileBytes = 1 << 20;
using ChannelFileHeader = std::array<uint8_t, ChannelFileHeaderSize>;

// The UTF-16LE bytes of a UTF-8 text (invalid bytes become U+FFFD).
std::string Utf16LeBytes(const std::string& utf8);

// Copies the UTF-16LE bytes of text into the header from entry start on;
// bytes that would fall beyond the header's end are dropped.
void PutStringBytes(const std::string& text, ChannelFileHeader& header, int start);

// The 256 header numbers for a model name (at most 7 characters are kept,
// the room of its field) and the version text.
ChannelFileHeader MakeChannelFileHeader(const std::string& modelName,
                                        const std::string& version = AppVersion);

// Runs Para_to_EEWord on dev and returns the exact bytes of its channel file.
// Throws what Para_to_EEWord throws (a frequency the divider cannot hold).
std::string ChannelFileText(ClassKQxx53& dev);

// The bytes of a channel file holding words as they are, with modelName in
// its header: a radio's table kept without going through the codec. Throws
// OverflowError for a word that is not a 16-bit value.
std::string ChannelFileTextOfWords(const std::vector<int32_t>& words, const std::string& modelName);

// Writes dev's channel file to path with WriteFileReplacing, so an existing
// file is either replaced whole or left as it was. Throws FileError naming
// the path.
void SaveChannelFile(ClassKQxx53& dev, const std::string& path);

// Reads a channel file into dev: the whole file is checked first; only when
// it is sound are its words stored and EEWord_to_Para run. On any error a
// FileError is thrown and dev is left exactly as it was.
void OpenChannelFile(ClassKQxx53& dev, const std::string& path);

// The bytes of the file at path, refused (FileError) when it is missing, a
// folder, unreadable or far too large for a channel file.
std::string ReadChannelFileBytes(const std::string& path);

// The words of a channel file's text, as stored, at least needed of them;
// the checks of OpenChannelFile without the codec (FileError when damaged).
std::vector<int32_t> ChannelFileWords(const std::string& text, const std::string& pathForMessages,
                                      int needed);

// The same, from text already in memory; pathForMessages names it in errors.
void ReadChannelFileText(ClassKQxx53& dev, const std::string& text,
                         const std::string& pathForMessages);

} // namespace kq
