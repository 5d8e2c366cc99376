#pragma once

#include "engine/solver/PatternSet.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

// Keeps the pattern databases of every board shape that has been asked for. The
// first request for a shape starts a background thread that reads each table
// from the folder shipped with the program or else from the cache folder; a
// table missing or damaged in both is built and written to the cache folder.
// Every file is checked (magic, version, shape, tile group, size, checksum)
// before it is used. A cache folder that cannot be written only means the tables
// live in memory. A tall shape shares the tables of the wide one (x and y
// swapped): the solver turns tall boards on their side.
class CPatternStore {
public:
    static CPatternStore& Instance();

    CPatternStore() = default;
    ~CPatternStore();
    CPatternStore(const CPatternStore&) = delete;
    CPatternStore& operator=(const CPatternStore&) = delete;

    // $XDG_CACHE_HOME/zandor-puzzle, or ~/.cache/zandor-puzzle when that is
    // unset, empty or relative.
    static std::filesystem::path DefaultCacheDirectory();
    // Overrides the folder (std::nullopt: back to the default). Tests use this.
    void SetCacheDirectory(std::optional<std::filesystem::path> dir);
    std::filesystem::path CacheDirectory() const;

    // The tables installed with the program: "solver" in the current directory,
    // which is the game's data folder (build/run, or the installed share folder).
    // Never written to.
    static std::filesystem::path DefaultShippedDirectory() { return "solver"; }
    void SetShippedDirectory(std::optional<std::filesystem::path> dir);
    std::filesystem::path ShippedDirectory() const;

    // The shape whose tables serve boards of x columns and y rows, or {0, 0} when
    // the store keeps none for it (more than 16 cells).
    static std::pair<int, int> TableShape(int x, int y);

    // Starts loading or building the tables of the shape unless they are ready or
    // on their way. Returns at once.
    void Prepare(int x, int y);
    // The tables when ready, otherwise null. Does not wait.
    std::shared_ptr<const CPatternSet> Find(int x, int y) const;
    // Prepares the shape and waits until its tables are ready, stop becomes true or
    // the deadline passes (then null). Sees stop and the deadline within a millisecond.
    std::shared_ptr<const CPatternSet> Wait(int x, int y, const std::atomic<bool>* stop,
                                            std::chrono::steady_clock::time_point deadline);

    // The tables of CPatternSet::QuickPartitions for a shape of at most 12 cells
    // (x by y exactly, not turned), built on the calling thread the first time
    // (well under a millisecond) and never read from or written to disk.
    std::shared_ptr<const CPatternSet> Quick(int x, int y);

    // Ends running builds (their tables are dropped) and forgets every table
    // held in memory.
    void Clear();

    struct SCounters {
        int nShipped = 0; // tables read from the shipped folder
        int nLoaded = 0;  // tables read from the cache folder
        int nBuilt = 0;   // tables computed
        int nSaved = 0;   // tables written to the cache folder
    };
    SCounters Counters() const;

private:
    void LoadOrBuild(int x, int y);

    struct SEntry {
        std::shared_ptr<const CPatternSet> ready;
        bool bBuilding = false;
    };

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::map<std::pair<int, int>, SEntry> m_entries;
    std::vector<std::thread> m_threads;
    std::map<std::pair<int, int>, std::shared_ptr<const CPatternSet>> m_quick;
    std::optional<std::filesystem::path> m_cacheDir;
    std::optional<std::filesystem::path> m_shippedDir;
    std::atomic<bool> m_bAbort{false}; // ends running builds
    SCounters m_counters;
};
