#include "common/RegularFile.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

int CRegularFile::Open(const std::string& path, Status& status, std::uint64_t& size)
{
    size = 0;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        status = errno == ENOENT || errno == ENOTDIR ? Status::Missing : Status::Unreadable;
        return -1;
    }
    if (!S_ISREG(st.st_mode)) {
        status = Status::NotRegular;
        return -1;
    }
    // O_NONBLOCK: should the name have become a FIFO since the look above,
    // opening it must not wait for a writer.
    int fd;
    do {
        fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        status = errno == ENOENT || errno == ENOTDIR ? Status::Missing : Status::Unreadable;
        return -1;
    }
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        status = Status::NotRegular;
        return -1;
    }
    // Ordinary blocking reads from here on (they never wait on a regular file).
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) {
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    }
    size = static_cast<std::uint64_t>(st.st_size);
    status = Status::Ok;
    return fd;
}

CRegularFile::Status CRegularFile::Read(const std::string& path, std::size_t maxBytes, std::string& bytes)
{
    bytes.clear();
    Status status;
    std::uint64_t size = 0;
    const int fd = Open(path, status, size);
    if (fd < 0) {
        return status;
    }
    if (size > maxBytes) {
        ::close(fd);
        return Status::TooLarge;
    }
    // One byte more than the limit tells a file that grew while we read it.
    bytes.resize(static_cast<std::size_t>(size) + 1);
    std::size_t got = 0;
    status = Status::Ok;
    for (;;) {
        if (got == bytes.size()) {
            if (bytes.size() > maxBytes) {
                status = Status::TooLarge;
                break;
            }
            bytes.resize(std::min(maxBytes + 1, bytes.size() * 2));
        }
        const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            status = Status::ReadError;
            break;
        }
        if (n == 0) {
            break;
        }
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    if (status == Status::Ok && got > maxBytes) {
        status = Status::TooLarge;
    }
    if (status != Status::Ok) {
        bytes.clear();
        bytes.shrink_to_fit();
        return status;
    }
    bytes.resize(got);
    return Status::Ok;
}

const char* CRegularFile::Describe(Status status)
{
    switch (status) {
    case Status::Ok:
        return "readable";
    case Status::Missing:
        return "no such file";
    case Status::Unreadable:
        return "not readable";
    case Status::NotRegular:
        return "not a regular file";
    case Status::TooLarge:
        return "too large";
    case Status::ReadError:
        return "read error";
    }
    return "unreadable";
}
