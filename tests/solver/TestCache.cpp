// Every solver test process keeps its pattern databases in one folder of the
// build tree, never in the user's cache: built on the first run, read afterwards.
#include "TestBoards.h"
#include "engine/solver/PatternStore.h"

namespace {

struct SUseTestCache {
    SUseTestCache() { CPatternStore::Instance().SetCacheDirectory(testboards::SharedCacheDir()); }
} s_useTestCache;

} // namespace
