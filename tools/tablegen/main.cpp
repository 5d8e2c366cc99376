// zandor-tablegen: builds the solver's pattern databases that ship with the
// program and writes them, in the same checked file form as the cache, into one
// folder.
//
// Usage: zandor-tablegen <folder> <file name>...
// Each name is a table's own file name (CPatternDatabase::FileName, e.g.
// "pdb-4x4-0.1.4.5.8.9.bin"). A name that is not a table the solver uses, or a
// shape named without all of its tables, is an error: the list kept by the build
// must match what the solver looks for.
#include "engine/solver/PatternSet.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <folder> <table file name>...\n", argv[0]);
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    const std::set<std::string> wanted(argv + 2, argv + argc);

    // The shapes named, each with every table the solver expects of it.
    std::map<std::pair<int, int>, std::unique_ptr<CPatternSet>> sets;
    for (const std::string& name : wanted) {
        int x = 0, y = 0;
        if (std::sscanf(name.c_str(), "pdb-%dx%d-", &x, &y) != 2 || x < 2 || y < 2 || x * y > 16) {
            std::fprintf(stderr, "zandor-tablegen: %s names no board shape\n", name.c_str());
            return 1;
        }
        if (!sets.count({x, y}))
            sets[{x, y}] = std::make_unique<CPatternSet>(x, y);
    }
    std::vector<CPatternDatabase*> tables;
    std::set<std::string> expected;
    for (auto& [shape, set] : sets) {
        if (set->GroupCount() == 0) {
            std::fprintf(stderr, "zandor-tablegen: the solver keeps no tables for %dx%d\n", shape.first,
                         shape.second);
            return 1;
        }
        for (int g = 0; g < set->GroupCount(); ++g) {
            tables.push_back(&set->Database(g));
            expected.insert(set->Database(g).FileName());
        }
    }
    if (expected != wanted) {
        for (const std::string& name : wanted)
            if (!expected.count(name))
                std::fprintf(stderr, "zandor-tablegen: %s is not a table of the solver\n", name.c_str());
        for (const std::string& name : expected)
            if (!wanted.count(name))
                std::fprintf(stderr, "zandor-tablegen: %s is missing from the list\n", name.c_str());
        return 1;
    }

    // Largest first, one table per processor at a time.
    std::sort(tables.begin(), tables.end(), [](const CPatternDatabase* a, const CPatternDatabase* b) {
        return a->EntryCount() > b->EntryCount();
    });
    std::atomic<size_t> next{0};
    std::atomic<bool> failed{false};
    auto worker = [&] {
        for (size_t i = next++; i < tables.size(); i = next++) {
            CPatternDatabase& db = *tables[i];
            if (!db.Build() || !db.SaveFile(folder / db.FileName())) {
                std::fprintf(stderr, "zandor-tablegen: could not write %s\n",
                             (folder / db.FileName()).c_str());
                failed = true;
            }
            db = CPatternDatabase(db.Width(), db.Height(), db.PatternTiles()); // frees the table
        }
    };
    const unsigned count =
        std::clamp(std::thread::hardware_concurrency(), 1u, static_cast<unsigned>(tables.size()));
    std::vector<std::thread> threads;
    for (unsigned i = 1; i < count; ++i)
        threads.emplace_back(worker);
    worker();
    for (std::thread& t : threads)
        t.join();
    return failed ? 1 : 0;
}
