// Channel tables as CSV, in two layouts:
// - our own: channel,rx_mhz,tx_mhz,rx_spacing_khz,tx_spacing_khz,power, one
//   row per channel 0..15;
// - the common layout of the widely used open-source radio programmer
//   (Location,Name,Frequency,Duplex,Offset,...,Mode,...,Power,...), one row
//   per channel in use.
#pragma once

#include "ClassKQxx53.h"
#include "FileSave.h"

#include <cstdint>
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

// The largest CSV text taken as a channel list. A list of channels is a few
// kB; far larger text is not one, and reading it would only cost time and
// memory.
inline constexpr std::uintmax_t MaxCsvBytes = 1 << 20;

// A row the radio cannot hold: a channel number outside 0..15 or taken by an
// earlier row, a frequency it cannot take, a value it has no way to express.
struct CsvUnfitRow {
    int line;           // the line the row starts on
    std::string reason; // what does not fit, the field quoted safely
};

struct CsvImport {
    ClassKQxx53 device;               // base's model with the channels read
    CsvLayout layout = CsvLayout::Kq; // as recognised by the heading row
    std::vector<std::string> dropped; // columns with content this radio cannot hold
    std::vector<CsvUnfitRow> unfit;   // rows the radio cannot hold, left out of device
};

// What ImportCsv does with rows the radio cannot hold.
enum class CsvUnfit {
    Refuse, // throw FileError naming every such row with its reason
    Skip,   // keep the rows that fit and list the others in CsvImport::unfit
};

// Reads CSV text in either layout, recognised by its heading row. The
// result is base with all 16 channels replaced: channels the text does not
// list are unused. Rows may carry more fields than the heading when the
// extra fields are empty. Text that is not a channel list (over
// MaxCsvBytes, bad quoting, a non-empty extra field, a missing column) throws
// FileError naming source and the row in either mode.
CsvImport ImportCsv(const std::string& text, const ClassKQxx53& base, const std::string& source,
                    CsvUnfit unfit = CsvUnfit::Refuse);

} // namespace kq
