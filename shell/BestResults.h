#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The player's best results: for every board size (columns x rows) the fewest
// moves and the shortest time of the puzzles won. The two are separate records
// and may come from different games.
//
// They live in a file of their own, $XDG_DATA_HOME/zandor-puzzle/best-results.txt
// (~/.local/share/... when the variable is unset, empty or not absolute), a
// text file:
//
//     zandor-puzzle best results 1
//     # size, fewest moves, shortest time in seconds
//     3x3 14 52
//     4x4 61 245
//     end
//
// The first line names the format and its version; "end" closes the list, so
// a file cut short is told from a whole one. Blank lines and lines starting
// with '#' are ignored.
//
// The file is read afresh before every change, so two running games do not
// undo each other's records, and written in one go: a temporary file beside
// it, flushed to the disk, then renamed over it. Only a regular file (or one a
// link names) of at most kMaxBytes is read or replaced. A file that cannot be
// read or parsed is renamed with the suffix ".damaged" and the results start
// afresh. When the file cannot be written, the results of this run are kept
// in memory from then on (the file is no longer read), and one line on
// standard error says so; nothing here ever shows a window.
class CBestResults {
public:
    struct Entry {
        int nCols = 0;
        int nRows = 0;
        int nFewestMoves = 0;
        int nShortestSeconds = 0;
        bool operator==(const Entry&) const = default;
    };

    // Which records a won game set.
    struct NewBest {
        bool bFewestMoves = false;
        bool bShortestTime = false;
        bool Any() const { return bFewestMoves || bShortestTime; }
    };

    static constexpr std::size_t kMaxBytes = 64 * 1024;
    static constexpr const char* kVersionLine = "zandor-puzzle best results 1";
    static constexpr const char* kDamagedSuffix = ".damaged";

    // Results kept at `path`; nothing is read until the first Refresh().
    explicit CBestResults(std::string path = DefaultPath());

    // $XDG_DATA_HOME/zandor-puzzle/best-results.txt, evaluated anew on every call.
    static std::string DefaultPath();
    const std::string& GetPath() const { return m_strPath; }

    // Reads the file again; a missing file means no results yet. Does nothing
    // once the results are kept in memory only.
    void Refresh();

    // A won game of `nMoves` moves and `nSeconds` seconds on a board of the
    // given size: reads the file, keeps whichever record the game beats (the
    // first game of a size sets both; an equal result is no new record) and
    // writes the file when something changed. A size outside the board's range
    // or a negative count records nothing.
    NewBest Record(int nCols, int nRows, int nMoves, int nSeconds);

    // Forgets every result and writes the empty list; false when it could not
    // be written (the results are then gone for this run only).
    bool Clear();

    // Every size played, by columns, then rows.
    const std::vector<Entry>& Entries() const { return m_entries; }
    const Entry* Find(int nCols, int nRows) const;

    // The file could not be written: results last until the program ends.
    bool IsMemoryOnly() const { return m_bMemoryOnly; }
    // Why, in a few words ("permission denied"); empty while the file works.
    const std::string& GetError() const { return m_strError; }

    // The file's text for a list of results, and the list from a text; Parse
    // returns false for anything this class did not write.
    static std::string Format(const std::vector<Entry>& entries);
    static bool Parse(const std::string& text, std::vector<Entry>& entries);

private:
    bool Save();
    // Renames the unusable file aside and starts with no results.
    void SetAside(const char* why);
    // From now on the results stay in memory; says so on standard error once.
    void KeepInMemory(const std::string& why);

    std::string m_strPath;
    std::vector<Entry> m_entries;
    bool m_bMemoryOnly = false;
    std::string m_strError;
};
