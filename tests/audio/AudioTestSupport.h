#pragma once

// The audio tests' fixture: a run folder of their own, no device before or
// after a test, and real sound captured through SDL's disk driver.

#include "audio/AudioDevice.h"
#include "audio/MidiSynth.h"
#include "support/DiskAudio.h"
#include "support/RunFolder.h"
#include "support/Wait.h"
#include "tools/media/MidiWriter.h"
#include "tools/media/WavWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace audiotest {

using support::Capture;
using support::Stopwatch;
using support::WaitUntil;

// A sine tone, mono 16 bit at 44.1 kHz.
inline std::vector<std::int16_t> Tone(double hz, double seconds, double amplitude)
{
    std::vector<std::int16_t> out(static_cast<std::size_t>(seconds * 44100));
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<std::int16_t>(amplitude * 32767.0 * std::sin(2.0 * M_PI * hz * i / 44100));
    return out;
}

class AudioTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CAudioDevice::Shutdown();
        m_font = CMidiSynth::SoundFontPath();
    }
    void TearDown() override
    {
        m_disk.reset();
        CAudioDevice::Shutdown();
        CMidiSynth::SetSoundFontPath(m_font);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
    }
    // A file in the current (run) folder.
    std::string File(const std::string& name) const { return (m_dir / name).string(); }

    // The next device opened writes into a capture file.
    void UseDiskDriver() { m_disk.emplace(File("capture.raw")); }
    void KeepFormat() { m_disk->KeepFormat(); }
    void OpenDevice() { ASSERT_TRUE(m_disk->Open()); }
    // Waits until `seconds` more of sound have gone to the capture.
    void Play(double seconds)
    {
        const double target = m_disk->Written() + seconds;
        ASSERT_TRUE(WaitUntil([&] { return m_disk->Written() >= target; }, seconds + 5.0));
    }
    // Closes the device and reads the capture back.
    Capture Finish()
    {
        EXPECT_TRUE(m_disk->Is16Bit());
        return m_disk->Finish();
    }
    std::string WriteTone(const std::string& name, double hz, double seconds, double amplitude = 0.5)
    {
        EXPECT_TRUE(CWavWriter::Write(File(name), Tone(hz, seconds, amplitude)));
        return File(name);
    }

    support::RunFolder m_folder;
    const std::filesystem::path m_dir = std::filesystem::current_path();
    std::optional<support::DiskAudio> m_disk;
    std::string m_font;
};

} // namespace audiotest
