#include "Files.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <random>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace qel::os {

static_assert(NotARegularFile == EINVAL);

namespace {

// The name of the new file ReplaceFile is writing, while it has no other, for a signal to remove.
std::atomic<const char*> g_unfinished{nullptr};
static_assert(std::atomic<const char*>::is_always_lock_free);

void RemoveUnfinishedAndEnd(int signal)
{
    if (const char* name = g_unfinished.load())
        ::unlink(name);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

bool IsPipeOrDevice(mode_t mode)
{
    return S_ISFIFO(mode) || S_ISCHR(mode) || S_ISBLK(mode) || S_ISSOCK(mode);
}

} // namespace

void RemoveUnfinishedFileWhenEnded()
{
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGXFSZ}) {
        // A signal the program was started to ignore (under nohup, Ctrl+C for a background job) stays so.
        if (struct sigaction current = {};
            ::sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_IGN)
            continue;
        std::signal(signal, RemoveUnfinishedAndEnd);
    }
}

File File::Open(const Path& path, Links links)
{
    // O_NONBLOCK: a pipe put under the name does not hang the program before it is refused.
    const int flags =
        links == Links::Refuse ? O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC : O_RDONLY | O_CLOEXEC;
    const int fd = ::open(path.c_str(), flags);
    if (fd < 0)
        return File(-1, false, errno);
    if (struct stat status{};
        links == Links::Refuse && (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode))) {
        ::close(fd);
        return File(-1, false, NotARegularFile);
    }
    return File(fd, true, Success);
}

File File::StandardInput()
{
    return File(STDIN_FILENO, false, Success);
}

File File::StandardOutput()
{
    return File(STDOUT_FILENO, false, Success);
}

File::File(File&& other) noexcept
    : m_handle(std::exchange(other.m_handle, -1)), m_owned(other.m_owned), m_error(other.m_error)
{}

File::~File()
{
    if (m_owned && m_handle >= 0)
        ::close(m_handle);
}

bool File::isOpen() const
{
    return m_handle >= 0;
}

Error File::read(std::string& bytes, std::size_t limit)
{
    // A file's size is known: read it in one call into room made once, the byte past it to see the end.
    if (struct stat status{};
        ::fstat(m_handle, &status) == 0 && S_ISREG(status.st_mode) && bytes.size() < limit)
        bytes.reserve(bytes.size() +
                      std::min(static_cast<std::size_t>(status.st_size), limit - bytes.size()) + 1);
    while (bytes.size() < limit) {
        std::size_t room = bytes.capacity() - bytes.size();
        if (room == 0)
            room = std::max<std::size_t>(bytes.size(), 1 << 16);
        const std::size_t before = bytes.size();
        bytes.resize(before + std::min(room, limit - before));
        const ssize_t got = ::read(m_handle, bytes.data() + before, bytes.size() - before);
        const int error = errno;
        bytes.resize(before + static_cast<std::size_t>(std::max<ssize_t>(got, 0)));
        if (got == 0)
            break;
        if (got < 0 && error != EINTR)
            return error;
    }
    return Success;
}

Error File::write(std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(m_handle, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return written == 0 ? EIO : errno;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return Success;
}

Error File::close()
{
    if (!m_owned || m_handle < 0)
        return Success;
    return ::close(std::exchange(m_handle, -1)) == 0 ? Success : errno;
}

Error ReplaceFile(const Path& path, std::string_view bytes)
{
    const auto slash = path.rfind('/');
    const std::string directory = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    const std::string hidden = path.substr(0, slash + 1) + '.' + path.substr(slash + 1) + '.';

    // O_EXCL creates the file itself, so no link planted under the new name is followed.
    std::random_device random;
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temporary = hidden + std::to_string(random());
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return errno;
    }
    if (fd < 0)
        return EEXIST;
    g_unfinished = temporary.c_str();
    File file(fd, true, Success);

    Error error = file.write(bytes);
    // An existing file keeps its permissions; a new one has what the umask left of 0666.
    if (struct stat status{}; error == Success && ::lstat(path.c_str(), &status) == 0 &&
                              S_ISREG(status.st_mode) && ::fchmod(fd, status.st_mode & 07777) != 0)
        error = errno;
    if (error == Success && ::fsync(fd) != 0)
        error = errno;
    if (error == Success)
        error = file.close();
    if (error == Success && ::rename(temporary.c_str(), path.c_str()) != 0)
        error = errno;
    if (error != Success)
        ::unlink(temporary.c_str());
    g_unfinished = nullptr;
    if (error != Success)
        return error;
    // The new name is on the disk too, not only in the system's cache, when the medium is pulled.
    if (const int directoryFd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        directoryFd >= 0) {
        ::fsync(directoryFd);
        ::close(directoryFd);
    }
    return Success;
}

Error WriteOrReplace(const Path& path, std::string_view bytes)
{
    struct stat named = {};
    if (::lstat(path.c_str(), &named) != 0 || S_ISREG(named.st_mode) || S_ISDIR(named.st_mode))
        return ReplaceFile(path, bytes);
    if (S_ISLNK(named.st_mode)) {
        // A link into /proc names a file some process holds open (/dev/stderr, /dev/fd/2): replaced, the
        // name would be gone from the system for good.
        constexpr std::string_view Proc = "/proc/";
        char start[Proc.size()] = {};
        struct stat target = {};
        const bool intoProc = ::readlink(path.c_str(), start, sizeof start) == ssize_t(Proc.size()) &&
                              std::string_view(start, sizeof start) == Proc;
        return intoProc || (::stat(path.c_str(), &target) == 0 && IsPipeOrDevice(target.st_mode))
                   ? NotARegularFile
                   : ReplaceFile(path, bytes);
    }
    // O_NOFOLLOW and the check after opening: whatever took the name meanwhile is not written through.
    const int fd = ::open(path.c_str(), O_WRONLY | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    File file(fd, true, Success);
    if (struct stat opened{}; ::fstat(fd, &opened) != 0 || !IsPipeOrDevice(opened.st_mode))
        return NotARegularFile;
    const Error error = file.write(bytes);
    return error == Success ? file.close() : error;
}

} // namespace qel::os
