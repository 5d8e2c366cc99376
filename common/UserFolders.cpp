#include "common/UserFolders.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

std::string CUserFolders::Folder(const char* variable, const char* underHome)
{
    // Only an absolute folder counts; anything else means "not set".
    const char* xdg = std::getenv(variable);
    if (xdg && xdg[0] == '/')
        return xdg;
    std::string home = ".";
    if (const char* env = std::getenv("HOME"); env && *env)
        home = env;
    else if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir && *pw->pw_dir)
        home = pw->pw_dir;
    return home + "/" + underHome;
}
