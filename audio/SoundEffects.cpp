#include "audio/SoundEffects.h"

#include "audio/AudioDevice.h"
#include "common/RegularFile.h"

#include <SDL_mixer.h>

#include <algorithm>
#include <string>
#include <unordered_map>

namespace {
// Effects share this one channel, so a new effect replaces the one still playing.
constexpr int kEffectChannel = 0;

// Decoded samples by path, in the format of the open device. On the heap and
// never destroyed: the chunks are freed when the device closes, not by static
// destructors that may run while the audio thread still mixes.
std::unordered_map<std::string, Mix_Chunk*>& Cache()
{
    static auto* cache = new std::unordered_map<std::string, Mix_Chunk*>;
    return *cache;
}

void FreeAll()
{
    Mix_HaltChannel(kEffectChannel);
    for (auto& entry : Cache())
        Mix_FreeChunk(entry.second);
    Cache().clear();
}

std::string FilePath(std::string path)
{
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}
} // namespace

bool CSoundEffects::Play(const std::string& path)
{
    if (!CAudioDevice::Acquire())
        return false;
    CAudioDevice::AddCloseListener(FreeAll);

    const std::string file = FilePath(path);
    Mix_Chunk* chunk = nullptr;
    auto found = Cache().find(file);
    if (found != Cache().end()) {
        chunk = found->second;
    } else {
        // A file that does not load is not remembered: it may appear later.
        // Only a regular file of at most kMaxFileBytes is read at all.
        std::string bytes;
        if (CRegularFile::Read(file, kMaxFileBytes, bytes) != CRegularFile::Status::Ok)
            return false;
        SDL_RWops* rw = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
        chunk = rw ? Mix_LoadWAV_RW(rw, 1) : nullptr;
        if (chunk == nullptr)
            return false;
        Cache().emplace(file, chunk);
    }

    Mix_HaltChannel(kEffectChannel);
    return Mix_PlayChannel(kEffectChannel, chunk, 0) == kEffectChannel;
}

void CSoundEffects::Stop()
{
    if (CAudioDevice::IsOpen())
        Mix_HaltChannel(kEffectChannel);
}

void CSoundEffects::ClearCache()
{
    if (CAudioDevice::IsOpen())
        FreeAll();
}
