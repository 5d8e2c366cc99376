#pragma once

#include "common/RegularFile.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The program's INI profile, read and written with the rules of the Windows
// private-profile functions: section and key names compare without regard to
// case, a written key replaces the old value in place, every other line
// (foreign sections, keys, comments, blank lines, odd bytes) is kept byte for
// byte, a missing file or key gives the caller's default, and a key that is
// present with an empty value gives the empty text.
//
// Lines end in "\r\n", "\n" or a lone "\r", for the reader and the writer
// alike; new lines take the file's first line end.
//
// A CProfile is a document: Load() reads the file once, the Get functions
// answer from memory, the Set functions change memory, and Save() writes the
// whole file back in one go (temporary file beside it, then rename), so a batch
// of keys costs one read and one write and a crash never leaves half a file.
// Memory is the file's text plus four bytes for every section header and
// every line that holds an '='.
class CProfile {
public:
    // A profile larger than this is not read (and never overwritten).
    static constexpr std::size_t kMaxBytes = std::size_t{4} << 20;

    // A profile at `path`; nothing is read until Load().
    explicit CProfile(std::string path);

    // $XDG_CONFIG_HOME/zandor-puzzle.INI, or ~/.config/zandor-puzzle.INI when
    // the variable is unset or empty. Evaluated anew on every call.
    static std::string DefaultPath();

    const std::string& GetPath() const { return m_strPath; }

    // Reads the file: only a regular file (or a link to one) of at most
    // kMaxBytes. Anything else leaves the profile empty (every Get then gives
    // its default) and returns false; a file that exists but could not be read
    // whole is remembered, and Save() then refuses to replace it.
    bool Load();
    // How the last Load() went.
    CRegularFile::Status GetLoadStatus() const { return m_loadStatus; }

    // The stored value, or `def` when the section or the key is missing.
    // Leading and trailing blanks of the value are dropped, and one pair of
    // matching quotes around it.
    std::string GetString(const std::string& section, const std::string& key, const std::string& def) const;

    // The stored integer: an optional sign, then decimal digits; reading stops
    // at the first other character ("12abc" is 12, "abc" is 0), values beyond
    // the int range saturate. A missing key, or one with an empty value, gives
    // `def`.
    int GetInt(const std::string& section, const std::string& key, int def) const;

    // Changes one key in memory, creating the section and the key as needed.
    // A line break in `value` ends the value (it could not be read back). A
    // value that the reader would change (blanks at either end, a pair of
    // quotes around it) is written inside double quotes, so it reads back as set.
    void SetString(const std::string& section, const std::string& key, const std::string& value);
    void SetInt(const std::string& section, const std::string& key, int value);

    // Writes the whole profile to its file: the folder is created if missing,
    // the text goes to a temporary file beside the profile, which is flushed to
    // the disk and then replaces it; temporary files that earlier saves of this
    // profile left behind are removed. Only a regular file, or the regular file
    // a link names (the link stays), is replaced; anything else, and a profile
    // that Load() could not read whole, is refused. A profile that is unchanged
    // since Load() is not rewritten. On failure the old file stays as it was,
    // one line goes to standard error, GetError() says why, and false is
    // returned.
    bool Save();

    // Why the last Save() failed, in a few lower-case words ("permission
    // denied", "not a regular file", "could not be read whole"); empty after
    // a successful one.
    const std::string& GetError() const { return m_strError; }

    // The profile's text as Save() would write it.
    const std::string& GetText() const { return m_strText; }

private:
    struct Line {
        std::size_t begin; // first byte of the line
        std::size_t end;   // its line end (or the end of the text)
        std::size_t next;  // the line after the line end
    };
    Line LineAt(std::size_t pos) const;
    void BuildIndex();
    std::size_t FindSection(const std::string& section) const; // index entry of the header, or npos
    std::size_t FindKey(std::size_t header, const std::string& key) const; // index entry of the key, or npos
    bool Fail(const std::string& why);

    std::string m_strPath;
    std::string m_strText; // the whole file, as it will be written
    // Where the lines start that may be headers or keys, in order; headers carry kHeaderBit.
    std::vector<std::uint32_t> m_index;
    static constexpr std::uint32_t kHeaderBit = 0x80000000u;
    // The section found last, until the index changes.
    mutable bool m_bSectionKnown = false;
    mutable std::string m_strSection;
    mutable std::size_t m_nSection = 0;
    std::string m_strEol = "\n"; // line end for new lines: the file's own
    CRegularFile::Status m_loadStatus = CRegularFile::Status::Missing;
    bool m_bChanged = false; // the text differs from the file as read or last written
    std::string m_strError;
};
