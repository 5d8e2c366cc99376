#include "shell/BestResults.h"

#include "common/AtomicFile.h"
#include "common/RegularFile.h"
#include "common/UserFolders.h"
#include "shell/SetupSettings.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char* kEndLine = "end";
constexpr const char* kFileName = "best-results.txt";

// Lists go by columns, then rows.
bool BySize(const CBestResults::Entry& a, const CBestResults::Entry& b)
{
    return a.nCols != b.nCols ? a.nCols < b.nCols : a.nRows < b.nRows;
}

bool IsSize(int n)
{
    return n >= CSetupSettings::kMinField && n <= CSetupSettings::kMaxField;
}

// Decimal digits only, no sign, no leading zeros, within the int range.
bool ParseCount(std::string_view s, int& value)
{
    if (s.empty() || s.size() > 10 || (s.size() > 1 && s.front() == '0'))
        return false;
    long long v = 0;
    for (char ch : s) {
        if (ch < '0' || ch > '9')
            return false;
        v = v * 10 + (ch - '0');
    }
    if (v > INT_MAX)
        return false;
    value = static_cast<int>(v);
    return true;
}

// "4x4 37 125" into an entry.
bool ParseEntry(std::string_view line, CBestResults::Entry& e)
{
    std::string_view fields[3];
    for (std::string_view& field : fields) {
        const std::size_t space = line.find(' ');
        field = line.substr(0, space);
        line = space == std::string_view::npos ? std::string_view() : line.substr(space + 1);
    }
    if (!line.empty())
        return false;
    const std::size_t x = fields[0].find('x');
    return x != std::string_view::npos && ParseCount(fields[0].substr(0, x), e.nCols) &&
           ParseCount(fields[0].substr(x + 1), e.nRows) && IsSize(e.nCols) && IsSize(e.nRows) &&
           ParseCount(fields[1], e.nFewestMoves) && ParseCount(fields[2], e.nShortestSeconds);
}

} // namespace

CBestResults::CBestResults(std::string path) : m_strPath(std::move(path))
{
}

std::string CBestResults::DefaultPath()
{
    return CUserFolders::Data() + "/zandor-puzzle/" + kFileName;
}

const CBestResults::Entry* CBestResults::Find(int nCols, int nRows) const
{
    for (const Entry& e : m_entries) {
        if (e.nCols == nCols && e.nRows == nRows)
            return &e;
    }
    return nullptr;
}

std::string CBestResults::Format(const std::vector<Entry>& entries)
{
    std::string text = std::string(kVersionLine) + "\n# size, fewest moves, shortest time in seconds\n";
    for (const Entry& e : entries) {
        text += std::to_string(e.nCols) + "x" + std::to_string(e.nRows) + " " +
                std::to_string(e.nFewestMoves) + " " + std::to_string(e.nShortestSeconds) + "\n";
    }
    return text + kEndLine + "\n";
}

bool CBestResults::Parse(const std::string& text, std::vector<Entry>& entries)
{
    entries.clear();
    bool versionSeen = false, endSeen = false;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t nl = text.find('\n', pos);
        if (nl == std::string::npos)
            nl = text.size();
        std::string_view line(text.data() + pos, nl - pos);
        pos = nl + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty() || line.front() == '#')
            continue;
        if (endSeen)
            return false; // something after the end
        if (!versionSeen) {
            if (line != kVersionLine)
                return false;
            versionSeen = true;
            continue;
        }
        if (line == kEndLine) {
            endSeen = true;
            continue;
        }
        Entry e;
        if (!ParseEntry(line, e) || std::any_of(entries.begin(), entries.end(), [&e](const Entry& o) {
                return o.nCols == e.nCols && o.nRows == e.nRows;
            }))
            return false;
        entries.push_back(e);
    }
    if (!endSeen) {
        entries.clear();
        return false;
    }
    std::sort(entries.begin(), entries.end(), BySize);
    return true;
}

void CBestResults::Refresh()
{
    if (m_bMemoryOnly)
        return;
    m_entries.clear();
    std::string text;
    const CRegularFile::Status status = CRegularFile::Read(m_strPath, kMaxBytes, text);
    if (status != CRegularFile::Status::Ok) {
        // Nothing there at all: no results yet. Anything else is in the way.
        struct stat st {};
        if (::lstat(m_strPath.c_str(), &st) == 0)
            SetAside(CRegularFile::Describe(status));
        return;
    }
    if (!Parse(text, m_entries)) {
        m_entries.clear();
        SetAside("not a list of best results");
    }
}

void CBestResults::SetAside(const char* why)
{
    const std::string aside = m_strPath + kDamagedSuffix;
    if (::rename(m_strPath.c_str(), aside.c_str()) != 0) {
        const int err = errno;
        KeepInMemory(std::string("cannot set aside the unusable file: ") + std::strerror(err));
        return;
    }
    std::fprintf(stderr,
                 "zandor-puzzle: the best results in %s were unusable (%s); kept as %s, starting afresh\n",
                 m_strPath.c_str(), why, aside.c_str());
}

void CBestResults::KeepInMemory(const std::string& why)
{
    if (m_bMemoryOnly)
        return;
    m_bMemoryOnly = true;
    m_strError = why;
    // "Permission denied" reads "permission denied" inside a sentence.
    if (!m_strError.empty() && m_strError[0] >= 'A' && m_strError[0] <= 'Z')
        m_strError[0] = static_cast<char>(m_strError[0] - 'A' + 'a');
    std::fprintf(stderr,
                 "zandor-puzzle: cannot keep the best results in %s (%s); they last until the program ends\n",
                 m_strPath.c_str(), m_strError.c_str());
}

CBestResults::NewBest CBestResults::Record(int nCols, int nRows, int nMoves, int nSeconds)
{
    NewBest best;
    if (!IsSize(nCols) || !IsSize(nRows) || nMoves < 0 || nSeconds < 0)
        return best;
    Refresh();
    auto it = std::find_if(m_entries.begin(), m_entries.end(),
                           [&](const Entry& e) { return e.nCols == nCols && e.nRows == nRows; });
    if (it == m_entries.end()) {
        const Entry e{nCols, nRows, nMoves, nSeconds};
        m_entries.insert(std::upper_bound(m_entries.begin(), m_entries.end(), e, BySize), e);
        best = {true, true};
    } else {
        best.bFewestMoves = nMoves < it->nFewestMoves;
        best.bShortestTime = nSeconds < it->nShortestSeconds;
        it->nFewestMoves = std::min(it->nFewestMoves, nMoves);
        it->nShortestSeconds = std::min(it->nShortestSeconds, nSeconds);
    }
    if (best.Any())
        Save();
    return best;
}

bool CBestResults::Clear()
{
    m_entries.clear();
    return Save();
}

bool CBestResults::Save()
{
    if (m_bMemoryOnly)
        return false;
    std::string why;
    if (CAtomicFile::Write(m_strPath, Format(m_entries), 0644, why))
        return true;
    KeepInMemory(why);
    return false;
}
