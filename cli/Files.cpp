#include "Files.h"

#include "cipher/Messages.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qel::cli {

namespace {

// The program's own descriptions of the file errors its boxes name.
std::string Describe(int error)
{
    ErrorNumber number = ErrorNumber::PathFileAccess;
    switch (error) {
    case ENOENT:
        number = ErrorNumber::FileNotFound;
        break;
    case EACCES:
    case EPERM:
    case EROFS:
        number = ErrorNumber::PermissionDenied;
        break;
    case ENOSPC:
    case EDQUOT:
        number = ErrorNumber::DiskFull;
        break;
    case EIO:
        number = ErrorNumber::DeviceIoError;
        break;
    case ENOMEM:
        number = ErrorNumber::OutOfMemory;
        break;
    default:
        break;
    }
    return ToUtf8(Messages::ErrorDescription(number));
}

FileError Failed(const std::string& what, const std::string& path, int error)
{
    return what + " " + path + ": " + Describe(error);
}

bool WriteAll(int fd, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    return true;
}

std::string DirectoryOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

std::vector<std::string> CommandLineArguments(int argc, char** argv)
{
    return {argv + 1, argv + argc};
}

FileError ReadAll(const std::string& path, std::string& bytes)
{
    const bool standardInput = path == "-";
    const int fd = standardInput ? STDIN_FILENO : ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return Failed("Kan ikke lese", path, errno);
    if (struct stat status{}; ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode))
        bytes.reserve(static_cast<std::size_t>(status.st_size));
    char buffer[1 << 16];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got == 0)
            break;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            const int error = errno;
            if (!standardInput)
                ::close(fd);
            return Failed("Kan ikke lese", standardInput ? "standard inn" : path, error);
        }
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
    if (!standardInput)
        ::close(fd);
    return std::nullopt;
}

FileError WriteStandardOutput(const std::string& bytes)
{
    if (!WriteAll(STDOUT_FILENO, bytes))
        return Failed("Kan ikke skrive til", "standard ut", errno);
    return std::nullopt;
}

FileError ReplaceFile(const std::string& path, const std::string& bytes)
{
    // An existing file keeps its permissions; a new one gets what the umask allows, as with any
    // program that creates a file.
    mode_t mode = 0666;
    if (struct stat status{}; ::lstat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode)) {
        mode = status.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode &= ~mask;
    }

    const std::string directory = DirectoryOf(path);
    const auto slash = path.rfind('/');
    std::string temporary =
        directory + "/." + path.substr(slash == std::string::npos ? 0 : slash + 1) + ".qelcrypt-XXXXXX";
    // mkstemp creates the file itself (O_EXCL), so no link planted under that name is followed.
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return Failed("Kan ikke skrive", path, errno);
    const auto abandon = [&](int error) {
        ::close(fd);
        ::unlink(temporary.c_str());
        return Failed("Kan ikke skrive", path, error);
    };
    if (!WriteAll(fd, bytes) || ::fchmod(fd, mode) != 0 || ::fsync(fd) != 0)
        return abandon(errno);
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        return Failed("Kan ikke skrive", path, error);
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        return Failed("Kan ikke skrive", path, error);
    }
    // The rename itself reaches the disk with the directory.
    if (const int directoryFd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        directoryFd >= 0) {
        ::fsync(directoryFd);
        ::close(directoryFd);
    }
    return std::nullopt;
}

} // namespace qel::cli
