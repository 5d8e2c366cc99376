#include "engine/solver/PatternStore.h"

#include "common/UserFolders.h"

#include <algorithm>
#include <cstdlib>
#include <tuple>

CPatternStore& CPatternStore::Instance()
{
    static CPatternStore store;
    return store;
}

CPatternStore::~CPatternStore()
{
    m_bAbort = true;
    for (std::thread& t : m_threads)
        if (t.joinable())
            t.join();
}

std::filesystem::path CPatternStore::DefaultCacheDirectory()
{
    return std::filesystem::path(CUserFolders::Cache()) / "zandor-puzzle";
}

void CPatternStore::SetCacheDirectory(std::optional<std::filesystem::path> dir)
{
    std::lock_guard lock(m_mutex);
    m_cacheDir = std::move(dir);
}

std::filesystem::path CPatternStore::CacheDirectory() const
{
    std::lock_guard lock(m_mutex);
    return m_cacheDir ? *m_cacheDir : DefaultCacheDirectory();
}

void CPatternStore::SetShippedDirectory(std::optional<std::filesystem::path> dir)
{
    std::lock_guard lock(m_mutex);
    m_shippedDir = std::move(dir);
}

std::filesystem::path CPatternStore::ShippedDirectory() const
{
    std::lock_guard lock(m_mutex);
    return m_shippedDir ? *m_shippedDir : DefaultShippedDirectory();
}

std::pair<int, int> CPatternStore::TableShape(int x, int y)
{
    if (x * y > CPatternDatabase::kMaxCells || x < 2 || y < 2)
        return {0, 0};
    return {std::max(x, y), std::min(x, y)};
}

void CPatternStore::Prepare(int x, int y)
{
    std::tie(x, y) = TableShape(x, y);
    if (x == 0)
        return;
    std::lock_guard lock(m_mutex);
    SEntry& entry = m_entries[{x, y}];
    if (entry.ready || entry.bBuilding)
        return;
    entry.bBuilding = true;
    m_threads.emplace_back([this, x, y] { LoadOrBuild(x, y); });
}

void CPatternStore::LoadOrBuild(int x, int y)
{
    auto set = std::make_shared<CPatternSet>(x, y);
    const std::filesystem::path shipped = ShippedDirectory();
    const std::filesystem::path dir = CacheDirectory();
    std::atomic<int> fromShipped{0}, loaded{0}, built{0}, saved{0}, failed{0};
    // One worker per table: the groups of a shape load or build side by side.
    auto work = [&](int g) {
        CPatternDatabase& db = set->Database(g);
        if (!shipped.empty() && db.LoadFile(shipped / db.FileName())) {
            ++fromShipped;
            return;
        }
        if (!dir.empty() && db.LoadFile(dir / db.FileName())) {
            ++loaded;
            return;
        }
        if (!db.Build(&m_bAbort)) {
            ++failed;
            return;
        }
        ++built;
        if (!dir.empty() && db.SaveFile(dir / db.FileName()))
            ++saved;
    };
    // As many workers as processors, each taking the next table left.
    std::atomic<int> nextGroup{0};
    auto worker = [&] {
        for (int g = nextGroup++; g < set->GroupCount(); g = nextGroup++)
            work(g);
    };
    const int count =
        std::min(set->GroupCount(), std::max(1, static_cast<int>(std::thread::hardware_concurrency())));
    std::vector<std::thread> workers;
    for (int i = 1; i < count; ++i)
        workers.emplace_back(worker);
    worker();
    for (std::thread& t : workers)
        t.join();

    std::lock_guard lock(m_mutex);
    SEntry& entry = m_entries[{x, y}];
    entry.bBuilding = false;
    if (failed == 0)
        entry.ready = std::move(set);
    m_counters.nShipped += fromShipped;
    m_counters.nLoaded += loaded;
    m_counters.nBuilt += built;
    m_counters.nSaved += saved;
    m_changed.notify_all();
}

std::shared_ptr<const CPatternSet> CPatternStore::Find(int x, int y) const
{
    std::tie(x, y) = TableShape(x, y);
    std::lock_guard lock(m_mutex);
    auto it = m_entries.find({x, y});
    return it == m_entries.end() ? nullptr : it->second.ready;
}

std::shared_ptr<const CPatternSet> CPatternStore::Wait(int x, int y, const std::atomic<bool>* stop,
                                                       std::chrono::steady_clock::time_point deadline)
{
    std::tie(x, y) = TableShape(x, y);
    Prepare(x, y);
    std::unique_lock lock(m_mutex);
    for (;;) {
        auto it = m_entries.find({x, y});
        if (it == m_entries.end())
            return nullptr;
        if (it->second.ready)
            return it->second.ready;
        if (!it->second.bBuilding || (stop && stop->load()))
            return nullptr;
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline)
            return nullptr;
        // Short slices, so a stop request is seen quickly.
        m_changed.wait_until(lock, std::min(deadline, now + std::chrono::milliseconds(1)));
    }
}

std::shared_ptr<const CPatternSet> CPatternStore::Quick(int x, int y)
{
    if (x * y > CPatternSet::kMaxQuickCells || x < 2 || y < 2)
        return nullptr;
    std::lock_guard lock(m_mutex);
    std::shared_ptr<const CPatternSet>& slot = m_quick[{x, y}];
    if (!slot) {
        auto set = std::make_shared<CPatternSet>(x, y, CPatternSet::QuickPartitions(x, y));
        if (!set->BuildAll())
            return nullptr;
        slot = std::move(set);
    }
    return slot;
}

void CPatternStore::Clear()
{
    std::vector<std::thread> threads;
    {
        std::lock_guard lock(m_mutex);
        threads.swap(m_threads);
    }
    m_bAbort = true;
    for (std::thread& t : threads)
        if (t.joinable())
            t.join();
    m_bAbort = false;
    std::lock_guard lock(m_mutex);
    m_entries.clear();
    m_quick.clear();
    m_counters = {};
}

CPatternStore::SCounters CPatternStore::Counters() const
{
    std::lock_guard lock(m_mutex);
    return m_counters;
}
