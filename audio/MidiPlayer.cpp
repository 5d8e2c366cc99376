#include "audio/MidiPlayer.h"

#include "audio/MidiSynth.h"
#include "audio/MidiTempoMap.h"
#include "common/RegularFile.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <vector>

namespace {
std::uint16_t s_lastDeviceId = 0;

std::uint16_t NextDeviceId()
{
    if (++s_lastDeviceId == 0)
        ++s_lastDeviceId;
    return s_lastDeviceId;
}

// Only a regular file (or a link to one) of at most kMaxFileBytes.
bool ReadFile(const std::string& path, std::vector<std::uint8_t>& bytes)
{
    std::string data;
    if (CRegularFile::Read(path, CMidiPlayer::kMaxFileBytes, data) != CRegularFile::Status::Ok)
        return false;
    bytes.assign(data.begin(), data.end());
    return true;
}
} // namespace

struct CMidiPlayer::Impl {
    std::vector<std::uint8_t> song;
    CMidiTempoMap map;
    // Frames rendered since the last start; the hook adds to it on the audio thread.
    std::atomic<std::uint64_t> frames{0};
    double startMs = 0.0; // where the last Play started
    int rate = 0;         // frames per second of that play
    long restMs = 0;      // the position while not playing
};

CMidiPlayer::CMidiPlayer() : m_pImpl(new Impl)
{
}

CMidiPlayer::~CMidiPlayer()
{
    Close();
    CMidiSynth::Halt(&m_pImpl->frames);
    delete m_pImpl;
}

bool CMidiPlayer::Open(const std::string& path)
{
    if (m_bOpen)
        return false;
    m_bPlaying = 0;
    m_wDeviceID = 0;

    std::string file = path;
    std::replace(file.begin(), file.end(), '\\', '/');
    std::vector<std::uint8_t> bytes;
    if (!ReadFile(file, bytes))
        return false;
    CMidiTempoMap map;
    if (!map.Parse(bytes))
        return false;
    if (!CMidiSynth::Prepare())
        return false;

    // The synthesizer's player knows only ticks per quarter note.
    m_pImpl->song = map.IsSmpte() ? map.MetricalSong(bytes) : std::move(bytes);
    m_pImpl->map = std::move(map);
    m_pImpl->restMs = 0;
    m_wDeviceID = NextDeviceId();
    m_bOpen = 1;
    return true;
}

bool CMidiPlayer::Play()
{
    if (!m_bOpen)
        return false;
    const int minutes = GetMinutes();
    const int seconds = GetSeconds();
    if (minutes < 0 || seconds < 0)
        return false;
    const double startMs = (minutes * 60.0 + seconds) * 1000.0;

    if (!CMidiSynth::Prepare())
        return false;
    m_pImpl->startMs = startMs;
    m_pImpl->rate = CMidiSynth::SampleRate();
    if (m_pImpl->rate <= 0 ||
        !CMidiSynth::Start(m_pImpl->song, m_pImpl->map.MsToTick(startMs), &m_pImpl->frames))
        return false;
    m_bPlaying = 1;
    return true;
}

bool CMidiPlayer::Stop()
{
    if (!m_bOpen || !m_bPlaying)
        return false;
    CMidiSynth::Halt(&m_pImpl->frames);
    m_pImpl->restMs = 0;
    m_bPlaying = 0;
    return true;
}

bool CMidiPlayer::Close()
{
    if (!m_bOpen)
        return false;
    if (m_bPlaying)
        CMidiSynth::Halt(&m_pImpl->frames);
    m_pImpl->song.clear();
    m_pImpl->song.shrink_to_fit();
    m_pImpl->restMs = 0;
    m_bOpen = 0;
    m_bPlaying = 0;
    m_wDeviceID = 0;
    return true;
}

long CMidiPlayer::GetPositionMs() const
{
    if (!m_bOpen)
        return -1;
    if (!m_bPlaying || m_pImpl->rate <= 0)
        return m_pImpl->restMs;
    const double played =
        static_cast<double>(m_pImpl->frames.load(std::memory_order_relaxed)) * 1000.0 / m_pImpl->rate;
    const double ms =
        std::min(m_pImpl->startMs + played, std::max(m_pImpl->map.LengthMs(), m_pImpl->startMs));
    return static_cast<long>(std::floor(ms));
}

bool CMidiPlayer::SetPositionMs(long ms)
{
    if (!m_bOpen || m_bPlaying)
        return false;
    const long length = static_cast<long>(std::floor(m_pImpl->map.LengthMs()));
    m_pImpl->restMs = std::clamp(ms, 0L, length);
    return true;
}

int CMidiPlayer::GetMinutes() const
{
    const long ms = GetPositionMs();
    return ms < 0 ? -1 : static_cast<int>(ms / 1000 / 60);
}

int CMidiPlayer::GetSeconds() const
{
    const long ms = GetPositionMs();
    return ms < 0 ? -1 : static_cast<int>((ms / 1000) % 60);
}
