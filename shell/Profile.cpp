#include "shell/Profile.h"

#include "common/AtomicFile.h"
#include "common/UserFolders.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace {

const char kBom[] = "\xEF\xBB\xBF";

bool IsBlank(char ch)
{
    return ch == ' ' || ch == '\t';
}

bool IsLineEnd(char ch)
{
    return ch == '\n' || ch == '\r';
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
std::string_view Content(std::string_view s, bool firstLine)
{
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

bool IsQuote(char ch)
{
    return ch == '"' || ch == '\'';
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
    if (value.size() >= 2 && IsQuote(value.front()) && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return !key.empty();
}

// The text to write after '=' so that SplitKey gives `value` back.
std::string EncodeValue(std::string_view value)
{
    const bool changedByReader =
        !value.empty() && (IsBlank(value.front()) || IsBlank(value.back()) ||
                           (value.size() >= 2 && IsQuote(value.front()) && value.back() == value.front()));
    if (!changedByReader)
        return std::string(value);
    std::string quoted;
    quoted.reserve(value.size() + 2);
    quoted += '"';
    quoted += value;
    quoted += '"';
    return quoted;
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

} // namespace

CProfile::CProfile(std::string path) : m_strPath(std::move(path))
{
}

std::string CProfile::DefaultPath()
{
    return CUserFolders::Config() + "/zandor-puzzle.INI";
}

CProfile::Line CProfile::LineAt(std::size_t pos) const
{
    const std::size_t size = m_strText.size();
    std::size_t end = pos;
    while (end < size && !IsLineEnd(m_strText[end]))
        ++end;
    std::size_t next = end;
    if (next < size) {
        ++next;
        if (m_strText[end] == '\r' && next < size && m_strText[next] == '\n')
            ++next;
    }
    return {pos, end, next};
}

void CProfile::BuildIndex()
{
    // One quick walk over the text, for every line whose content (without a
    // byte order mark first and leading blanks) is a section header or holds
    // an '=' and is no comment; done twice, counting first, so the index takes
    // no more room than it needs.
    const char* const text = m_strText.data();
    const std::size_t size = m_strText.size();
    const auto walk = [text, size](auto&& take) {
        std::size_t pos = 0;
        while (pos < size) {
            std::size_t p = pos == 0 && std::string_view(text, size).starts_with(kBom) ? 3 : pos;
            while (p < size && IsBlank(text[p]))
                ++p;
            const std::size_t content = p;
            bool equals = false;
            while (p < size && !IsLineEnd(text[p])) {
                equals = equals || text[p] == '=';
                ++p;
            }
            if (content < p) {
                if (text[content] == '[')
                    take(pos, true);
                else if (equals && text[content] != ';' && text[content] != '#')
                    take(pos, false);
            }
            if (p < size && text[p] == '\r' && p + 1 < size && text[p + 1] == '\n')
                ++p;
            pos = p + 1;
        }
    };
    m_bSectionKnown = false;
    std::size_t count = 0;
    walk([&count](std::size_t, bool) { ++count; });
    m_index.clear();
    m_index.reserve(count);
    walk([this](std::size_t pos, bool header) {
        m_index.push_back(static_cast<std::uint32_t>(pos) | (header ? kHeaderBit : 0u));
    });
}

bool CProfile::Load()
{
    m_strText.clear();
    m_strText.shrink_to_fit();
    m_index.clear();
    m_index.shrink_to_fit();
    m_bSectionKnown = false;
    m_strEol = "\n";
    m_bChanged = false;

    m_loadStatus = CRegularFile::Read(m_strPath, kMaxBytes, m_strText);
    if (m_loadStatus != CRegularFile::Status::Ok)
        return false;

    // New lines end like the file's first line.
    const Line first = LineAt(0);
    if (first.next > first.end)
        m_strEol = m_strText.substr(first.end, first.next - first.end);
    BuildIndex();
    return true;
}

std::size_t CProfile::FindSection(const std::string& section) const
{
    // The settings are read key by key from one section: remember it.
    if (m_bSectionKnown && EqualNoCase(section, m_strSection))
        return m_nSection;
    const std::string_view text(m_strText);
    std::size_t found = std::string::npos;
    for (std::size_t i = 0; i < m_index.size() && found == std::string::npos; ++i) {
        if (!(m_index[i] & kHeaderBit))
            continue;
        const Line line = LineAt(m_index[i] & ~kHeaderBit);
        const std::string_view c = Content(text.substr(line.begin, line.end - line.begin), line.begin == 0);
        if (IsHeader(c) && EqualNoCase(HeaderName(c), section))
            found = i;
    }
    m_bSectionKnown = true;
    m_strSection = section;
    m_nSection = found;
    return found;
}

std::size_t CProfile::FindKey(std::size_t header, const std::string& key) const
{
    const std::string_view text(m_strText);
    const char first = key.empty() ? '\0' : Lower(key.front());
    for (std::size_t i = header + 1; i < m_index.size() && !(m_index[i] & kHeaderBit); ++i) {
        // A quick look at the first letter passes over most other keys.
        std::size_t at = m_index[i];
        while (at < text.size() && IsBlank(text[at]))
            ++at;
        if (at < text.size() && Lower(text[at]) != first)
            continue;
        const Line line = LineAt(m_index[i]);
        const std::string_view c = Content(text.substr(line.begin, line.end - line.begin), false);
        std::string_view k, v;
        if (SplitKey(c, k, v) && EqualNoCase(k, key))
            return i;
    }
    return std::string::npos;
}

std::string CProfile::GetString(const std::string& section, const std::string& key,
                                const std::string& def) const
{
    const std::size_t s = FindSection(section);
    if (s == std::string::npos)
        return def;
    const std::size_t k = FindKey(s, key);
    if (k == std::string::npos)
        return def;
    const Line line = LineAt(m_index[k]);
    std::string_view name, value;
    SplitKey(Content(std::string_view(m_strText).substr(line.begin, line.end - line.begin), false), name,
             value);
    return std::string(value);
}

int CProfile::GetInt(const std::string& section, const std::string& key, int def) const
{
    const std::string value = GetString(section, key, std::string());
    if (value.empty())
        return def;
    return ParseInt(value);
}

void CProfile::SetString(const std::string& section, const std::string& key, const std::string& value)
{
    const std::string text = EncodeValue(std::string_view(value).substr(0, value.find_first_of("\r\n")));

    const std::size_t s = FindSection(section);
    if (s == std::string::npos) {
        std::string add;
        if (!m_strText.empty()) {
            // The last line gets a line end of its own, then a blank line
            // follows unless it is blank already.
            std::size_t end = m_strText.size(); // of the last line's text
            if (!IsLineEnd(m_strText.back()))
                add += m_strEol;
            else if (m_strText.ends_with("\r\n"))
                end -= 2;
            else
                end -= 1;
            std::size_t begin = end;
            while (begin > 0 && !IsLineEnd(m_strText[begin - 1]))
                --begin;
            if (!Trim(std::string_view(m_strText).substr(begin, end - begin)).empty())
                add += m_strEol;
        }
        add += "[" + section + "]" + m_strEol + key + "=" + text + m_strEol;
        m_strText += add;
        m_bChanged = true;
        BuildIndex();
        return;
    }

    const std::size_t k = FindKey(s, key);
    if (k != std::string::npos) {
        const Line line = LineAt(m_index[k]);
        // Keep the key and the spacing around '=' as written.
        std::size_t from = m_strText.find('=', line.begin) + 1;
        while (from < line.end && IsBlank(m_strText[from]))
            ++from;
        if (m_strText.compare(from, line.end - from, text) != 0) {
            m_strText.replace(from, line.end - from, text);
            m_bChanged = true;
            BuildIndex();
        }
        return;
    }

    // A new key goes after the last key of its section, so comments and blank
    // lines that lead into the next section stay where they are.
    std::size_t at = s;
    for (std::size_t i = s + 1; i < m_index.size() && !(m_index[i] & kHeaderBit); ++i) {
        const Line line = LineAt(m_index[i]);
        const std::string_view c =
            Content(std::string_view(m_strText).substr(line.begin, line.end - line.begin), false);
        std::string_view kk, vv;
        if (SplitKey(c, kk, vv))
            at = i;
    }
    const Line after = LineAt(m_index[at] & ~kHeaderBit);
    std::string add;
    if (after.next == after.end) // the last line of the file, without a line end
        add += m_strEol;
    add += key + "=" + text + m_strEol;
    m_strText.insert(after.next, add);
    m_bChanged = true;
    BuildIndex();
}

void CProfile::SetInt(const std::string& section, const std::string& key, int value)
{
    SetString(section, key, std::to_string(value));
}

bool CProfile::Fail(const std::string& why)
{
    m_strError = why;
    std::fprintf(stderr, "zandor-puzzle: cannot save the settings to %s: %s\n", m_strPath.c_str(),
                 why.c_str());
    return false;
}

bool CProfile::Save()
{
    m_strError.clear();
    switch (m_loadStatus) {
    case CRegularFile::Status::Ok:
    case CRegularFile::Status::Missing:
        break;
    case CRegularFile::Status::NotRegular:
        return Fail("not a regular file");
    default:
        // Writing now would lose whatever the file holds beyond our keys.
        return Fail("could not be read whole");
    }

    // Nothing changed since Load(): the file already says all this.
    if (m_loadStatus == CRegularFile::Status::Ok && !m_bChanged)
        return true;

    std::string why;
    if (!CAtomicFile::Write(m_strPath, m_strText, 0666, why))
        return Fail(why);
    m_loadStatus = CRegularFile::Status::Ok;
    m_bChanged = false;
    return true;
}
