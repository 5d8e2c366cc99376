#pragma once

#include <string>
#include <vector>

// The program's INI profile, read and written with the rules of the Windows
// private-profile functions: section and key names compare without regard to
// case, a written key replaces the old value in place, every other line
// (foreign sections, keys, comments, blank lines, odd bytes) is kept byte for
// byte, a missing file or key gives the caller's default, and a key that is
// present with an empty value gives the empty text.
//
// A CProfile is a document: Load() reads the file once, the Get functions
// answer from memory, the Set functions change memory, and Save() writes the
// whole file back in one go (temporary file beside it, then rename), so a batch
// of keys costs one read and one write and a crash never leaves half a file.
class CProfile {
public:
    // A profile at `path`; nothing is read until Load().
    explicit CProfile(std::string path);

    // $XDG_CONFIG_HOME/zandor-puzzle.INI, or ~/.config/zandor-puzzle.INI when
    // the variable is unset or empty. Evaluated anew on every call.
    static std::string DefaultPath();

    const std::string& GetPath() const { return m_strPath; }

    // Reads the file. A missing or unreadable file leaves the profile empty
    // (every Get then gives its default); returns false in that case.
    bool Load();

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
    // A line break in `value` ends the value (it could not be read back).
    void SetString(const std::string& section, const std::string& key, const std::string& value);
    void SetInt(const std::string& section, const std::string& key, int value);

    // Writes the whole profile to its file: the folder is created if missing,
    // the text goes to a temporary file beside the profile, which then replaces
    // it. A profile that is unchanged since Load() is not rewritten. On
    // failure the old file stays as it was, one line goes to standard error
    // and false is returned.
    bool Save();

    // The profile's text as Save() would write it.
    std::string GetText() const;

private:
    struct Line {
        std::string text; // without its line end
        std::string eol;  // "\n", "\r\n" or "" (last line without a line end)
    };

    int FindSection(const std::string& section) const;          // header line index, or -1
    int FindKey(int sectionLine, const std::string& key) const; // key line index, or -1
    const std::string* FindValue(const std::string& section, const std::string& key, std::string& buf) const;

    std::string m_strPath;
    std::vector<Line> m_lines;
    std::string m_strEol = "\n"; // line end for new lines: the file's own
    bool m_bOnDisk = false;      // the file holds m_strOnDisk (as read or last written)
    std::string m_strOnDisk;
};
