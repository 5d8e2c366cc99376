#pragma once

// A fresh folder for one test: <root>/run is the current directory (where the
// game finds bitmaps/, sounds/ and midi/), <root>/config holds the profile
// (XDG_CONFIG_HOME), <root>/data the best results (XDG_DATA_HOME), <root>/cache
// the solver's tables when they are built (XDG_CACHE_HOME). The old
// current directory comes back and the folder goes away with the object. Plain
// C++, for GoogleTest and Qt Test programs alike.

#include "shell/Profile.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace support {

namespace fs = std::filesystem;

// Writes `bytes` to `path`, creating its folders; false when it could not.
inline bool WriteFile(const fs::path& path, std::string_view bytes)
{
    std::error_code ec;
    if (path.has_parent_path())
        fs::create_directories(path.parent_path(), ec);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return out.good();
}
inline bool WriteFile(const fs::path& path, const std::vector<std::uint8_t>& bytes)
{
    return WriteFile(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

// The whole file; empty when it cannot be read.
inline std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
inline std::vector<std::uint8_t> ReadBytes(const fs::path& path)
{
    const std::string s = ReadFile(path);
    return {s.begin(), s.end()};
}

// Sets (or with nullopt unsets) an environment variable until the end of the scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, std::optional<std::string> value) : m_name(name)
    {
        if (const char* old = std::getenv(name))
            m_old = old;
        Set(name, value);
    }
    ~ScopedEnv() { Set(m_name.c_str(), m_old); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

    static void Set(const char* name, const std::optional<std::string>& value)
    {
        value ? setenv(name, value->c_str(), 1) : unsetenv(name);
    }

private:
    std::string m_name;
    std::optional<std::string> m_old;
};

class RunFolder {
public:
    RunFolder()
    {
        std::string tmpl = (fs::temp_directory_path() / "zandor-test-XXXXXX").string();
        if (!mkdtemp(tmpl.data()))
            throw std::runtime_error("no temporary folder");
        m_root = tmpl;
        m_oldCwd = fs::current_path();
        fs::create_directories(m_root / "run");
        fs::current_path(m_root / "run");
        setenv("XDG_CONFIG_HOME", (m_root / "config").c_str(), 1);
        setenv("XDG_DATA_HOME", (m_root / "data").c_str(), 1);
        setenv("XDG_CACHE_HOME", (m_root / "cache").c_str(), 1);
    }
    ~RunFolder()
    {
        std::error_code ec;
        fs::current_path(m_oldCwd, ec);
        fs::remove_all(m_root, ec);
    }
    RunFolder(const RunFolder&) = delete;
    RunFolder& operator=(const RunFolder&) = delete;

    const fs::path& Root() const { return m_root; }
    fs::path ProfilePath() const { return m_root / "config" / "zandor-puzzle.INI"; }
    fs::path BestResultsPath() const { return m_root / "data" / "zandor-puzzle" / "best-results.txt"; }

private:
    fs::path m_root, m_oldCwd;
};

// Stores keys of the section "Tessra" in the profile, as Start in Player Setup
// does; the other keys of the file stay.
inline bool StoreSettings(const std::map<std::string, int>& numbers,
                          const std::map<std::string, std::string>& texts = {})
{
    CProfile profile(CProfile::DefaultPath());
    profile.Load();
    for (const auto& [key, value] : numbers)
        profile.SetInt("Tessra", key, value);
    for (const auto& [key, value] : texts)
        profile.SetString("Tessra", key, value);
    return profile.Save();
}

} // namespace support
