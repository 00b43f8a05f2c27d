#pragma once

#include "os/Files.h"

#include <optional>
#include <string>
#include <vector>

namespace qel::cli {

// The arguments after the program's name, in UTF-8 on every system.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// A path in UTF-8 as the system's file calls take it.
os::Path NativePath(const std::string& utf8);

// What the system reported, in the program's own words for it.
std::string Describe(os::Error error);

// What went wrong with a file, in Norwegian, or nothing when all went well.
using FileError = std::optional<std::string>;

// The whole of a file, or of standard input when path is "-".
FileError ReadAll(const std::string& path, std::string& bytes);

// Writes bytes to standard output, all of them or an error.
FileError WriteStandardOutput(const std::string& bytes);

// Writes bytes to standard output when path is "-" or /dev/stdout, into a pipe or a device named, and
// otherwise replaces the file at path by one holding bytes, or leaves it untouched: the bytes go to a new
// file in the same directory, which is flushed to the disk and then renamed over path. A symbolic link at
// path is replaced, never followed; one to a pipe, a device or into /proc is refused (on POSIX systems).
FileError WriteOutput(const std::string& path, const std::string& bytes);

} // namespace qel::cli
