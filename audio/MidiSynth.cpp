#include "audio/MidiSynth.h"

#include "audio/AudioDevice.h"

#include <SDL_mixer.h>
#include <fluidsynth.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <system_error>

#ifndef ZANDOR_SOUNDFONT
#define ZANDOR_SOUNDFONT "/usr/share/sounds/sf2/TimGM6mb.sf2"
#endif

namespace {
// Frames rendered per FluidSynth call inside the hook.
constexpr int kRenderBlock = 4096;
// FluidSynth's default gain (0.2) is quiet next to the effects.
constexpr double kGain = 0.6;

struct SynthState {
    // Guards everything the hook reads: synth, player, frames and the buffers.
    std::mutex mutex;

    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
    std::string loadedFont;
    int rate = 0;
    Uint16 format = 0;
    int channels = 0;
    bool hooked = false;

    fluid_player_t* player = nullptr;
    std::atomic<std::uint64_t>* frames = nullptr;

    std::vector<float> left = std::vector<float>(kRenderBlock);
    std::vector<float> right = std::vector<float>(kRenderBlock);

    std::string fontPath = ZANDOR_SOUNDFONT;
};

// On the heap and never destroyed: the audio thread may still call the hook
// while static destructors run at program end.
SynthState& State()
{
    static auto* state = new SynthState;
    return *state;
}

// Drops the player; the caller holds the mutex.
void DropPlayerLocked(SynthState& s)
{
    if (s.player != nullptr) {
        delete_fluid_player(s.player);
        s.player = nullptr;
        // Notes the player left on stop sounding now, not at the next song.
        fluid_synth_system_reset(s.synth);
    }
    s.frames = nullptr;
}

template <typename Sample> Sample Convert(float v);
template <> Sint16 Convert<Sint16>(float v)
{
    const float scaled = std::clamp(v, -1.0f, 1.0f) * 32767.0f;
    return static_cast<Sint16>(scaled);
}
template <> float Convert<float>(float v)
{
    return v;
}

// Writes `count` stereo frames into an interleaved buffer of `channels`
// channels: mono gets the mean, further channels stay silent.
template <typename Sample>
void Interleave(const float* left, const float* right, int count, int channels, Sample* out)
{
    for (int i = 0; i < count; ++i) {
        Sample* frame = out + static_cast<std::ptrdiff_t>(i) * channels;
        if (channels == 1) {
            frame[0] = Convert<Sample>(0.5f * (left[i] + right[i]));
            continue;
        }
        frame[0] = Convert<Sample>(left[i]);
        frame[1] = Convert<Sample>(right[i]);
        for (int c = 2; c < channels; ++c)
            frame[c] = Sample{};
    }
}

// The mixer's music hook, on the audio thread: renders the synthesizer in the
// device's format. Without a song it writes silence.
void SDLCALL RenderHook(void*, Uint8* stream, int len)
{
    SynthState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    const int sampleBytes = s.format == AUDIO_F32SYS ? 4 : 2;
    const int frameBytes = sampleBytes * std::max(s.channels, 1);
    const int total = len / frameBytes;
    if (s.synth == nullptr || s.player == nullptr || total <= 0) {
        std::memset(stream, 0, static_cast<std::size_t>(len));
        return;
    }
    int done = 0;
    while (done < total) {
        const int count = std::min(total - done, kRenderBlock);
        fluid_synth_write_float(s.synth, count, s.left.data(), 0, 1, s.right.data(), 0, 1);
        Uint8* out = stream + static_cast<std::ptrdiff_t>(done) * frameBytes;
        if (s.format == AUDIO_F32SYS)
            Interleave(s.left.data(), s.right.data(), count, s.channels, reinterpret_cast<float*>(out));
        else
            Interleave(s.left.data(), s.right.data(), count, s.channels, reinterpret_cast<Sint16*>(out));
        done += count;
    }
    if (len > total * frameBytes)
        std::memset(stream + static_cast<std::ptrdiff_t>(total) * frameBytes, 0,
                    static_cast<std::size_t>(len - total * frameBytes));
    if (s.frames != nullptr)
        s.frames->fetch_add(static_cast<std::uint64_t>(total), std::memory_order_relaxed);
}

// Before the mixer closes: no hook, no song.
void OnDeviceClosing()
{
    SynthState& s = State();
    if (s.hooked) {
        Mix_HookMusic(nullptr, nullptr); // waits for a running hook to finish
        s.hooked = false;
    }
    std::lock_guard<std::mutex> lock(s.mutex);
    DropPlayerLocked(s);
}

void DeleteSynth(SynthState& s)
{
    fluid_synth_t* old = nullptr;
    {
        std::lock_guard<std::mutex> lock(s.mutex);
        DropPlayerLocked(s);
        old = s.synth;
        s.synth = nullptr;
        s.loadedFont.clear();
    }
    if (old != nullptr)
        delete_fluid_synth(old);
}

// Whether `path` has the chunk layout of a SoundFont 2 file: a RIFF form of
// type "sfbk" that fits the file, holding the INFO, sdta and pdta lists.
// FluidSynth plays silence without a font, and Debian's build hands files its
// own loader refuses to libinstpatch, which prints GLib warnings for them.
bool LooksLikeSoundFont(const std::string& path)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        return false;
    const std::uintmax_t fileSize = std::filesystem::file_size(path, ec);
    if (ec || fileSize < 12)
        return false;
    std::ifstream in(path, std::ios::binary);
    const auto read32 = [&in](std::uint32_t& v) {
        unsigned char b[4];
        if (!in.read(reinterpret_cast<char*>(b), 4))
            return false;
        v = b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
        return true;
    };
    const auto readTag = [&in](char(&tag)[5]) {
        tag[4] = 0;
        return static_cast<bool>(in.read(tag, 4));
    };
    char tag[5];
    std::uint32_t riffSize = 0;
    if (!readTag(tag) || std::strcmp(tag, "RIFF") != 0 || !read32(riffSize) || riffSize + 8ull > fileSize ||
        !readTag(tag) || std::strcmp(tag, "sfbk") != 0)
        return false;
    bool info = false, sdta = false, pdta = false;
    std::uint64_t at = 12;
    while (at + 12 <= riffSize + 8ull) {
        std::uint32_t size = 0;
        char list[5];
        if (!readTag(tag) || !read32(size) || at + 8 + size > riffSize + 8ull)
            return false;
        if (std::strcmp(tag, "LIST") == 0 && size >= 4 && readTag(list)) {
            info = info || std::strcmp(list, "INFO") == 0;
            sdta = sdta || std::strcmp(list, "sdta") == 0;
            pdta = pdta || std::strcmp(list, "pdta") == 0;
        }
        at += 8 + size + (size & 1);
        in.seekg(static_cast<std::streamoff>(at));
    }
    return info && sdta && pdta;
}

bool CreateSynth(SynthState& s, int rate)
{
    if (!LooksLikeSoundFont(s.fontPath))
        return false;

    if (s.settings == nullptr) {
        // The program shows no errors of its own for music; FluidSynth's
        // messages would only end up on the terminal.
        for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level)
            fluid_set_log_function(level, nullptr, nullptr);
        s.settings = new_fluid_settings();
        if (s.settings == nullptr)
            return false;
        fluid_settings_setnum(s.settings, "synth.gain", kGain);
        // Pinning the samples needs a memory lock limit most desktops lack.
        fluid_settings_setint(s.settings, "synth.lock-memory", 0);
    }
    fluid_settings_setnum(s.settings, "synth.sample-rate", rate);

    // Built outside the lock: loading the font takes a while, and the hook
    // must not wait for it.
    fluid_synth_t* synth = new_fluid_synth(s.settings);
    if (synth == nullptr)
        return false;
    if (fluid_synth_sfload(synth, s.fontPath.c_str(), 1) == FLUID_FAILED) {
        delete_fluid_synth(synth);
        return false;
    }
    std::lock_guard<std::mutex> lock(s.mutex);
    s.synth = synth;
    s.loadedFont = s.fontPath;
    s.rate = rate;
    return true;
}
} // namespace

bool CMidiSynth::Prepare()
{
    if (!CAudioDevice::Acquire())
        return false;
    CAudioDevice::AddCloseListener(OnDeviceClosing);

    int rate = 0;
    Uint16 format = 0;
    int channels = 0;
    if (Mix_QuerySpec(&rate, &format, &channels) == 0 || rate <= 0 || channels <= 0)
        return false;
    if (format != AUDIO_S16SYS && format != AUDIO_F32SYS)
        return false;

    SynthState& s = State();
    if (s.synth != nullptr && (s.rate != rate || s.loadedFont != s.fontPath))
        DeleteSynth(s);
    if (s.synth == nullptr && !CreateSynth(s, rate))
        return false;

    if (!s.hooked) {
        {
            std::lock_guard<std::mutex> lock(s.mutex);
            s.format = format;
            s.channels = channels;
        }
        Mix_HookMusic(RenderHook, nullptr);
        s.hooked = true;
    }
    return true;
}

bool CMidiSynth::Start(const std::vector<std::uint8_t>& song, std::uint32_t tick,
                       std::atomic<std::uint64_t>* frames)
{
    if (!Prepare() || song.empty() || frames == nullptr)
        return false;
    SynthState& s = State();

    // A fresh player for every start: it has no history of an earlier play,
    // and a seek before its first play is taken at any tick. Made under the
    // lock: the player hangs a timer into the synthesizer's list, which the
    // audio thread walks while it renders.
    std::lock_guard<std::mutex> lock(s.mutex);
    DropPlayerLocked(s);
    fluid_player_t* player = new_fluid_player(s.synth);
    if (player == nullptr)
        return false;
    const int seekTick = static_cast<int>(std::min<std::uint32_t>(tick, 0x7FFFFFFF));
    if (fluid_player_add_mem(player, song.data(), song.size()) != FLUID_OK ||
        (seekTick > 0 && fluid_player_seek(player, seekTick) != FLUID_OK) ||
        fluid_player_set_loop(player, 1) != FLUID_OK || // once; the end is never repeated
        fluid_player_play(player) != FLUID_OK) {
        delete_fluid_player(player);
        return false;
    }
    frames->store(0, std::memory_order_relaxed);
    s.player = player;
    s.frames = frames;
    return true;
}

void CMidiSynth::Halt(const std::atomic<std::uint64_t>* frames)
{
    SynthState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (frames != nullptr && s.frames == frames)
        DropPlayerLocked(s);
}

int CMidiSynth::SampleRate()
{
    return State().rate;
}

void CMidiSynth::SetSoundFontPath(const std::string& path)
{
    State().fontPath = path;
}

std::string CMidiSynth::SoundFontPath()
{
    return State().fontPath;
}
