// Channel tables as CSV, in two layouts:
// - our own: channel,rx_mhz,tx_mhz,rx_spacing_khz,tx_spacing_khz,power, one
//   row per channel 0..15;
// - the common layout of the widely used open-source radio programmer
//   (Location,Name,Frequency,Duplex,Offset,...,Mode,...,Power,...), one row
//   per channel in use.
#pragma once

#include "ClassKQxx53.h"
#include "FileSave.h"

#include <string>
#include <vector>

namespace kq {

enum class CsvLayout { Kq, Chirp };

// A Power column holding watts means high power above this value.
inline constexpr double HighPowerAboveWatts = 3.0;

// A transmit frequency at most this far from the receive frequency is
// written as an offset (Duplex + or -), anything farther as a split.
inline constexpr double LargestDuplexOffsetMHz = 50.0;

// The heading row of a layout, without its line end.
std::string CsvHeading(CsvLayout layout);

// The channels of dev as CSV text (LF line ends). Throws FileError naming
// the channel when the common layout cannot express it (receive and
// transmit spacing that differ, a transmit frequency without a receive one).
std::string ExportCsv(const ClassKQxx53& dev, CsvLayout layout);

struct CsvImport {
    ClassKQxx53 device;               // base's model with the channels read
    CsvLayout layout = CsvLayout::Kq; // as recognised by the heading row
    std::vector<std::string> dropped; // columns with content this radio cannot hold
};

// Reads CSV text in either layout, recognised by its heading row. The
// result is base with all 16 channels replaced: channels the text does not
// list are unused. Every row is checked before anything is kept; a row that
// cannot be represented throws FileError naming source and the row (the
// line it starts on), with the offending field quoted safely.
CsvImport ImportCsv(const std::string& text, const ClassKQxx53& base, const std::string& source);

} // namespace kq
