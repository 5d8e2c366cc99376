#pragma once

#include <string>

// The folders the desktop gives a program for its files, by the XDG rules:
// the variable's folder when it is set to an absolute path, otherwise the
// usual folder under the home folder ($HOME, or the password database's entry,
// or "." when neither is known).
class CUserFolders {
public:
    static std::string Config() { return Folder("XDG_CONFIG_HOME", ".config"); }  // the profile
    static std::string Data() { return Folder("XDG_DATA_HOME", ".local/share"); } // best results
    static std::string Cache() { return Folder("XDG_CACHE_HOME", ".cache"); }     // solver tables

private:
    static std::string Folder(const char* variable, const char* underHome);
};
