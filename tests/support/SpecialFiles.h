#pragma once

// What a player may leave where the game expects one of its files: FIFOs,
// device nodes, links to them, and files larger than the game reads.

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace support {

inline bool MakeFifo(const std::string& path)
{
    return ::mkfifo(path.c_str(), 0644) == 0;
}

// A character device node that works like /dev/null; false where the test may not make device nodes.
inline bool MakeNullDevice(const std::string& path)
{
    return ::mknod(path.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
}

// A file of `size` bytes that starts with `head`; the rest is a hole of zeros that takes no room on the disk.
inline bool MakeLargeFile(const std::string& path, const std::string& head, off_t size)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return false;
    const bool ok = ::write(fd, head.data(), head.size()) == static_cast<ssize_t>(head.size()) &&
                    ::ftruncate(fd, size) == 0;
    return ::close(fd) == 0 && ok;
}

// The kind of file at `path`, not following a link: S_IFIFO, S_IFLNK, ...; 0 when there is none.
inline mode_t FileKind(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? (st.st_mode & S_IFMT) : 0;
}

// Keeps a test from hanging on a FIFO when the code under test waits for a writer: once `after` has passed,
// it opens each FIFO for writing now and then and closes it again, so that a reader waiting on it gets an
// empty file. Freed() tells whether a reader was there to be freed.
class FifoWatchdog {
public:
    explicit FifoWatchdog(std::vector<std::string> fifos,
                          std::chrono::milliseconds after = std::chrono::milliseconds(3000))
        : m_thread([this, fifos = std::move(fifos), after] {
              const auto start = std::chrono::steady_clock::now();
              while (!m_stop) {
                  std::this_thread::sleep_for(std::chrono::milliseconds(20));
                  if (std::chrono::steady_clock::now() - start < after)
                      continue;
                  for (const std::string& fifo : fifos) {
                      const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
                      if (fd >= 0) {
                          m_freed = true;
                          ::close(fd);
                      }
                  }
              }
          })
    {
    }
    ~FifoWatchdog()
    {
        m_stop = true;
        m_thread.join();
    }
    FifoWatchdog(const FifoWatchdog&) = delete;
    FifoWatchdog& operator=(const FifoWatchdog&) = delete;

    bool Freed() const { return m_freed; }

private:
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_freed{false};
    std::thread m_thread;
};

} // namespace support
