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
// first request for a shape starts a background thread that reads the tables from
// the cache folder or, when a file is missing or damaged, builds them and writes
// them back. A folder that cannot be written only means the tables live in memory.
class CPatternStore {
public:
    static CPatternStore& Instance();

    CPatternStore() = default;
    ~CPatternStore();
    CPatternStore(const CPatternStore&) = delete;
    CPatternStore& operator=(const CPatternStore&) = delete;

    // $XDG_CACHE_HOME/zandor-puzzle, or ~/.cache/zandor-puzzle when that is unset
    // or empty; empty when neither can be found (no disk cache then).
    static std::filesystem::path DefaultCacheDirectory();
    // Overrides the folder (std::nullopt: back to the default). Tests use this.
    void SetCacheDirectory(std::optional<std::filesystem::path> dir);
    std::filesystem::path CacheDirectory() const;

    // Starts loading or building the tables of the shape unless they are ready or
    // on their way. Returns at once.
    void Prepare(int x, int y);
    // The tables when ready, otherwise null. Does not wait.
    std::shared_ptr<const CPatternSet> Find(int x, int y) const;
    // Prepares the shape and waits until its tables are ready, stop becomes true or
    // the deadline passes (then null).
    std::shared_ptr<const CPatternSet> Wait(int x, int y, const std::atomic<bool>* stop,
                                            std::chrono::steady_clock::time_point deadline);

    // Waits for running builds and forgets every table held in memory.
    void Clear();

    struct SCounters {
        int nLoaded = 0; // tables read from the cache folder
        int nBuilt = 0;  // tables computed
        int nSaved = 0;  // tables written to the cache folder
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
    std::optional<std::filesystem::path> m_cacheDir;
    std::atomic<bool> m_bShutdown{false};
    SCounters m_counters;
};
