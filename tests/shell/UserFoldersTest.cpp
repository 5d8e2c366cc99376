// Where the profile, the best results and the solver's tables live: in the
// XDG folder when its variable holds an absolute path, otherwise in the usual
// folder of the home folder, which without HOME comes from the password database.
#include "engine/solver/PatternStore.h"
#include "shell/BestResults.h"
#include "shell/Profile.h"
#include "support/RunFolder.h"

#include <gtest/gtest.h>

TEST(UserFolders, FollowTheXdgVariablesOrTheHomeFolder)
{
    using support::ScopedEnv;
    const struct {
        const char* variable;
        std::string (*path)();
        std::string inXdg, underHome;
    } stores[] = {
        {"XDG_CONFIG_HOME", [] { return CProfile::DefaultPath(); }, "/x/zandor-puzzle.INI",
         "/.config/zandor-puzzle.INI"},
        {"XDG_DATA_HOME", [] { return CBestResults::DefaultPath(); }, "/x/zandor-puzzle/best-results.txt",
         "/.local/share/zandor-puzzle/best-results.txt"},
        {"XDG_CACHE_HOME", [] { return CPatternStore::DefaultCacheDirectory().string(); }, "/x/zandor-puzzle",
         "/.cache/zandor-puzzle"},
    };
    for (const auto& s : stores) {
        SCOPED_TRACE(s.variable);
        const ScopedEnv home("HOME", "/home/p"), xdg(s.variable, "/x");
        EXPECT_EQ(s.path(), s.inXdg);
        for (const char* unusable : {"", "relative/dir", static_cast<const char*>(nullptr)}) {
            ScopedEnv::Set(s.variable, unusable ? std::optional<std::string>(unusable) : std::nullopt);
            EXPECT_EQ(s.path(), "/home/p" + s.underHome);
        }
        ScopedEnv::Set("HOME", std::nullopt);
        EXPECT_TRUE(s.path().ends_with(s.underHome) && !s.path().starts_with("/home/p/")) << s.path();
    }
}
