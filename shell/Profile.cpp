#include "shell/Profile.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const char kBom[] = "\xEF\xBB\xBF";

bool IsBlank(char ch)
{
    return ch == ' ' || ch == '\t';
}

char Lower(char ch)
{
    return (ch >= 'A' && ch <= 'Z') ? static_cast<char>(ch - 'A' + 'a') : ch;
}

bool EqualNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i]))
            return false;
    }
    return true;
}

std::string_view Trim(std::string_view s)
{
    std::size_t b = 0;
    std::size_t e = s.size();
    while (b < e && IsBlank(s[b]))
        ++b;
    while (e > b && IsBlank(s[e - 1]))
        --e;
    return s.substr(b, e - b);
}

// The part of a line that carries meaning: without a byte order mark on the
// first line and without leading blanks.
std::string_view Content(const std::string& text, bool firstLine)
{
    std::string_view s(text);
    if (firstLine && s.starts_with(kBom))
        s.remove_prefix(3);
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    return s;
}

bool IsHeader(std::string_view content)
{
    return !content.empty() && content.front() == '[';
}

std::string_view HeaderName(std::string_view content)
{
    content.remove_prefix(1);
    std::size_t close = content.find(']');
    if (close != std::string_view::npos)
        content = content.substr(0, close);
    return Trim(content);
}

bool IsComment(std::string_view content)
{
    return !content.empty() && (content.front() == ';' || content.front() == '#');
}

// Splits "key=value"; false when the line holds no key.
bool SplitKey(std::string_view content, std::string_view& key, std::string_view& value)
{
    if (content.empty() || IsHeader(content) || IsComment(content))
        return false;
    std::size_t eq = content.find('=');
    if (eq == std::string_view::npos)
        return false;
    key = Trim(content.substr(0, eq));
    value = Trim(content.substr(eq + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return !key.empty();
}

// Optional sign, then decimal digits, stopping at the first other character;
// saturates at the ends of the int range.
int ParseInt(std::string_view s)
{
    std::size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) {
        negative = s[i] == '-';
        ++i;
    }
    long long value = 0;
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
        value = value * 10 + (s[i] - '0');
        if (value >= limit) {
            value = limit;
            break;
        }
    }
    return static_cast<int>(negative ? -value : value);
}

std::string HomeFolder()
{
    const char* home = std::getenv("HOME");
    if (home && *home)
        return home;
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir && *pw->pw_dir)
        return pw->pw_dir;
    return ".";
}

bool WriteAll(int fd, const std::string& text)
{
    const char* p = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
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

std::atomic<unsigned> s_tempCounter{0};

} // namespace

CProfile::CProfile(std::string path) : m_strPath(std::move(path))
{
}

std::string CProfile::DefaultPath()
{
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    std::string folder;
    // Only an absolute folder counts; anything else means "not set".
    if (xdg && xdg[0] == '/')
        folder = xdg;
    else
        folder = HomeFolder() + "/.config";
    return folder + "/zandor-puzzle.INI";
}

bool CProfile::Load()
{
    m_lines.clear();
    m_strEol = "\n";
    m_bOnDisk = false;
    m_strOnDisk.clear();

    std::FILE* file = std::fopen(m_strPath.c_str(), "rb");
    if (!file)
        return false;
    std::string data;
    char buf[8192];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, file)) > 0)
        data.append(buf, n);
    bool ok = !std::ferror(file);
    std::fclose(file);
    if (!ok)
        return false;

    m_bOnDisk = true;
    m_strOnDisk = data;

    bool eolKnown = false;
    std::size_t pos = 0;
    while (pos < data.size()) {
        std::size_t nl = data.find('\n', pos);
        Line line;
        if (nl == std::string::npos) {
            line.text.assign(data, pos, std::string::npos);
            pos = data.size();
        } else {
            std::size_t end = nl;
            if (end > pos && data[end - 1] == '\r')
                --end;
            line.text.assign(data, pos, end - pos);
            line.eol.assign(data, end, nl + 1 - end);
            pos = nl + 1;
            if (!eolKnown) {
                m_strEol = line.eol;
                eolKnown = true;
            }
        }
        m_lines.push_back(std::move(line));
    }
    return true;
}

int CProfile::FindSection(const std::string& section) const
{
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        std::string_view c = Content(m_lines[i].text, i == 0);
        if (IsHeader(c) && EqualNoCase(HeaderName(c), section))
            return static_cast<int>(i);
    }
    return -1;
}

int CProfile::FindKey(int sectionLine, const std::string& key) const
{
    for (std::size_t i = static_cast<std::size_t>(sectionLine) + 1; i < m_lines.size(); ++i) {
        std::string_view c = Content(m_lines[i].text, false);
        if (IsHeader(c))
            break;
        std::string_view k, v;
        if (SplitKey(c, k, v) && EqualNoCase(k, key))
            return static_cast<int>(i);
    }
    return -1;
}

const std::string* CProfile::FindValue(const std::string& section, const std::string& key,
                                       std::string& buf) const
{
    int s = FindSection(section);
    if (s < 0)
        return nullptr;
    int k = FindKey(s, key);
    if (k < 0)
        return nullptr;
    std::string_view name, value;
    SplitKey(Content(m_lines[static_cast<std::size_t>(k)].text, false), name, value);
    buf.assign(value);
    return &buf;
}

std::string CProfile::GetString(const std::string& section, const std::string& key,
                                const std::string& def) const
{
    std::string buf;
    const std::string* value = FindValue(section, key, buf);
    return value ? *value : def;
}

int CProfile::GetInt(const std::string& section, const std::string& key, int def) const
{
    std::string buf;
    const std::string* value = FindValue(section, key, buf);
    if (!value || value->empty())
        return def;
    return ParseInt(*value);
}

void CProfile::SetString(const std::string& section, const std::string& key, const std::string& value)
{
    std::string text = value.substr(0, value.find_first_of("\r\n"));

    // A line that will get a successor needs a line end of its own.
    auto closeLine = [this](std::size_t i) {
        if (m_lines[i].eol.empty())
            m_lines[i].eol = m_strEol;
    };

    int s = FindSection(section);
    if (s < 0) {
        if (!m_lines.empty()) {
            closeLine(m_lines.size() - 1);
            if (!Trim(m_lines.back().text).empty())
                m_lines.push_back({"", m_strEol});
        }
        m_lines.push_back({"[" + section + "]", m_strEol});
        m_lines.push_back({key + "=" + text, m_strEol});
        return;
    }

    int k = FindKey(s, key);
    if (k >= 0) {
        std::string& line = m_lines[static_cast<std::size_t>(k)].text;
        // Keep the key and the spacing around '=' as written.
        std::size_t from = line.find('=') + 1;
        while (from < line.size() && IsBlank(line[from]))
            ++from;
        line.erase(from);
        line += text;
        return;
    }

    // A new key goes after the last key of its section, so comments and blank
    // lines that lead into the next section stay where they are.
    std::size_t at = static_cast<std::size_t>(s);
    for (std::size_t i = at + 1; i < m_lines.size(); ++i) {
        std::string_view c = Content(m_lines[i].text, false);
        if (IsHeader(c))
            break;
        std::string_view kk, vv;
        if (SplitKey(c, kk, vv))
            at = i;
    }
    closeLine(at);
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(at) + 1, Line{key + "=" + text, m_strEol});
}

void CProfile::SetInt(const std::string& section, const std::string& key, int value)
{
    SetString(section, key, std::to_string(value));
}

std::string CProfile::GetText() const
{
    std::size_t size = 0;
    for (const Line& line : m_lines)
        size += line.text.size() + line.eol.size();
    std::string text;
    text.reserve(size);
    for (const Line& line : m_lines) {
        text += line.text;
        text += line.eol;
    }
    return text;
}

bool CProfile::Save()
{
    std::error_code ec;
    fs::path target(m_strPath);
    // Through a symbolic link, replace the file it names, not the link.
    if (fs::is_symlink(target, ec)) {
        fs::path resolved = fs::weakly_canonical(target, ec);
        if (!ec)
            target = resolved;
    }
    fs::path folder = target.parent_path();
    if (!folder.empty())
        fs::create_directories(folder, ec);

    const std::string text = GetText();
    // Nothing changed since Load(): the file already says all this.
    if (m_bOnDisk && text == m_strOnDisk)
        return true;
    std::string temp = (folder / ("." + target.filename().string() + ".tmp")).string() +
                       std::to_string(getpid()) + "." + std::to_string(s_tempCounter++);

    int err = 0;
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        err = errno;
    } else {
        struct stat st;
        if (::stat(target.c_str(), &st) == 0)
            ::fchmod(fd, st.st_mode & 07777);
        if (!WriteAll(fd, text))
            err = errno;
        if (::close(fd) != 0 && err == 0)
            err = errno;
        if (err == 0 && ::rename(temp.c_str(), target.c_str()) != 0)
            err = errno;
        if (err != 0)
            ::unlink(temp.c_str());
    }
    if (err != 0) {
        std::fprintf(stderr, "zandor-puzzle: cannot save the settings to %s: %s\n", m_strPath.c_str(),
                     std::strerror(err));
        return false;
    }
    m_bOnDisk = true;
    m_strOnDisk = text;
    return true;
}
