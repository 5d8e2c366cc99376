#include "audio/SoundEffects.h"

#include "audio/AudioDevice.h"
#include "common/RegularFile.h"

#include <SDL_mixer.h>

#include <algorithm>
#include <cstdint>
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

std::uint32_t Le(const std::string& b, std::size_t at, int n)
{
    std::uint32_t v = 0;
    for (int i = n - 1; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(b[at + static_cast<std::size_t>(i)]);
    return v;
}

// The memory the file's samples would take in the device's format, from its
// RIFF header: an upper bound, so that a file is judged before it is decoded.
// Zero when the header is not understood (the decoder then refuses it).
double DecodedBytes(const std::string& b)
{
    if (b.size() < 12 || b.compare(0, 4, "RIFF") != 0 || b.compare(8, 4, "WAVE") != 0)
        return 0.0;
    std::uint32_t tag = 0, channels = 0, rate = 0, blockAlign = 0;
    std::uint64_t dataBytes = 0;
    for (std::size_t at = 12; at + 8 <= b.size();) {
        const std::uint64_t len = Le(b, at + 4, 4);
        if (b.compare(at, 4, "fmt ") == 0 && at + 8 + 14 <= b.size()) {
            tag = Le(b, at + 8, 2);
            channels = Le(b, at + 10, 2);
            rate = Le(b, at + 12, 4);
            blockAlign = Le(b, at + 20, 2);
        } else if (b.compare(at, 4, "data") == 0) {
            dataBytes = std::min<std::uint64_t>(len, b.size() - (at + 8));
            break;
        }
        at += 8 + static_cast<std::size_t>(std::min<std::uint64_t>(len + (len & 1), b.size()));
    }
    if (channels == 0 || rate == 0)
        return 0.0;
    // PCM and float hold blockAlign bytes a frame; compressed kinds at least
    // half a byte a sample.
    const bool plain = tag == 1 || tag == 3 || tag == 0xFFFE;
    const double frames = plain && blockAlign > 0 ? static_cast<double>(dataBytes) / blockAlign
                                                  : static_cast<double>(dataBytes) * 2.0 / channels;
    int devRate = 0, devChannels = 0;
    Uint16 devFormat = 0;
    if (!Mix_QuerySpec(&devRate, &devFormat, &devChannels))
        return 0.0;
    return frames * devRate / rate * devChannels * (SDL_AUDIO_BITSIZE(devFormat) / 8);
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
        if (DecodedBytes(bytes) > static_cast<double>(kMaxDecodedBytes))
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
