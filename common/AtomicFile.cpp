#include "common/AtomicFile.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <signal.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// A temporary file older than this is left over, whoever wrote it.
constexpr std::time_t kStaleTempSeconds = 3600;

std::atomic<unsigned> s_tempCounter{0};

std::string Reason(int err)
{
    std::string text = std::strerror(err);
    if (!text.empty() && text[0] >= 'A' && text[0] <= 'Z')
        text[0] = static_cast<char>(text[0] - 'A' + 'a');
    return text;
}

bool WriteAll(int fd, const std::string& text)
{
    const char* p = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

// Removes the temporary files that saves of `name` in `folder` left behind:
// those of a process that no longer runs (or of this one, which saves one at a
// time), and any older than an hour.
void RemoveStaleTemps(const fs::path& folder, const std::string& prefix)
{
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir)
        return;
    const int dirFd = ::dirfd(dir);
    const std::time_t now = std::time(nullptr);
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view file(entry->d_name);
        if (!file.starts_with(prefix))
            continue;
        // <pid>.<n>, both in digits.
        const std::string_view rest = file.substr(prefix.size());
        const std::size_t dot = rest.find('.');
        if (dot == 0 || dot > 9 || dot == std::string_view::npos || dot + 1 == rest.size() ||
            rest.find_first_not_of("0123456789", dot + 1) != std::string_view::npos ||
            rest.substr(0, dot).find_first_not_of("0123456789") != std::string_view::npos)
            continue;
        const pid_t pid = static_cast<pid_t>(std::atol(std::string(rest.substr(0, dot)).c_str()));
        struct stat st {};
        if (::fstatat(dirFd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode))
            continue;
        const bool gone = pid <= 0 || pid == ::getpid() || (::kill(pid, 0) != 0 && errno == ESRCH);
        if (gone || now - st.st_mtime > kStaleTempSeconds)
            ::unlinkat(dirFd, entry->d_name, 0);
    }
    ::closedir(dir);
}

// Flushes a folder's entries (the rename) to the disk, as far as it can.
void SyncFolder(const fs::path& folder)
{
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

std::string CAtomicFile::TempPrefix(const std::string& path)
{
    return "." + fs::path(path).filename().string() + ".tmp";
}

bool CAtomicFile::Write(const std::string& path, const std::string& text, unsigned newMode, std::string& why)
{
    why.clear();
    // Replace only a regular file, or the regular file a link names.
    fs::path target(path);
    struct stat st {};
    bool exists = false;
    if (::lstat(path.c_str(), &st) == 0) {
        exists = true;
        if (S_ISLNK(st.st_mode)) {
            if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
                why = "not a regular file";
                return false;
            }
            char* resolved = ::realpath(path.c_str(), nullptr);
            if (!resolved) {
                why = Reason(errno);
                return false;
            }
            target = resolved;
            std::free(resolved);
        } else if (!S_ISREG(st.st_mode)) {
            why = "not a regular file";
            return false;
        }
    }
    const fs::path folder = target.parent_path();
    if (!exists && !folder.empty()) {
        std::error_code ec;
        fs::create_directories(folder, ec);
    }

    const std::string prefix = TempPrefix(target.string());
    RemoveStaleTemps(folder, prefix);
    const std::string temp =
        (folder / prefix).string() + std::to_string(::getpid()) + "." + std::to_string(s_tempCounter++);

    int err = 0;
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, exists ? 0600 : newMode);
    if (fd < 0) {
        err = errno;
    } else {
        if (exists)
            ::fchmod(fd, st.st_mode & 07777);
        if (!WriteAll(fd, text) || ::fsync(fd) != 0)
            err = errno;
        if (::close(fd) != 0 && err == 0)
            err = errno;
        if (err == 0 && ::rename(temp.c_str(), target.c_str()) != 0)
            err = errno;
        if (err != 0)
            ::unlink(temp.c_str());
    }
    if (err != 0) {
        why = Reason(err);
        return false;
    }
    SyncFolder(folder);
    return true;
}
