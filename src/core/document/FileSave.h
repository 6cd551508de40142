// Saving a file so that a failure never costs the old one.
#pragma once

#include "KqErrors.h"

#include <string>

namespace kq {

// A file that cannot be read, written or understood. The message names the
// path (and the line or row, for a damaged file).
class FileError : public KqError {
public:
    using KqError::KqError;
};

// Writes bytes to path.
// - A regular file (new or existing) is written to a temporary file in its
//   folder, flushed to disk, renamed over it and the folder flushed, so the
//   target is either the old file whole or the new one whole. A replaced
//   file keeps its mode and, where the process may, its owner and group.
// - Symbolic links are followed: the file they point to is replaced, in its
//   own folder. A dangling link is an error.
// - An existing target that is not a regular file (a device, a pipe) is
//   written directly and stays what it is; a folder is an error.
// - A read-only file (no write permission for this process, or no write bit
//   at all) is refused.
// Throws FileError naming the path; on any error the old file is unchanged
// and no temporary file is left. Hard links to a replaced file keep the old
// contents.
void WriteFileReplacing(const std::string& path, const std::string& bytes);

} // namespace kq
