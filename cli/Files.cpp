#include "Files.h"

#include "os/Files.h"

namespace qel::cli {

namespace {

FileError Failed(const std::string& what, const std::string& path, os::Error error)
{
    return what + " " + path + ": " + Describe(error);
}

} // namespace

FileError ReadAll(const std::string& path, std::string& bytes)
{
    const bool standardInput = path == "-";
    os::File file =
        standardInput ? os::File::StandardInput() : os::File::Open(NativePath(path), os::Links::Follow);
    if (!file.isOpen())
        return Failed("Kan ikke lese", path, file.error());
    if (const os::Error error = file.read(bytes); error != os::Success)
        return Failed("Kan ikke lese", standardInput ? "standard inn" : path, error);
    return std::nullopt;
}

FileError WriteStandardOutput(const std::string& bytes)
{
    if (const os::Error error = os::File::StandardOutput().write(bytes); error != os::Success)
        return Failed("Kan ikke skrive til", "standard ut", error);
    return std::nullopt;
}

FileError WriteOutput(const std::string& path, const std::string& bytes)
{
    // /dev/stdout is a link, which would be replaced rather than followed, and as root replaced for
    // good: it means standard output, as it does to any shell.
    if (path == "-" || path == "/dev/stdout")
        return WriteStandardOutput(bytes);
    if (const os::Error error = os::WriteOrReplace(NativePath(path), bytes); error != os::Success)
        return Failed("Kan ikke skrive", path, error);
    return std::nullopt;
}

} // namespace qel::cli
