// Silent placeholder until the mixer back end is in.
#include "audio/AudioDevice.h"
#include "audio/MidiPlayer.h"
#include "audio/SoundEffects.h"

bool CSoundEffects::Play(const std::string&)
{
    return false;
}
void CSoundEffects::Stop()
{
}
void CSoundEffects::ClearCache()
{
}

bool CAudioDevice::Acquire()
{
    return false;
}
bool CAudioDevice::IsOpen()
{
    return false;
}
void CAudioDevice::Shutdown()
{
}

CMidiPlayer::CMidiPlayer() = default;
CMidiPlayer::~CMidiPlayer()
{
    Close();
}
bool CMidiPlayer::Open(const std::string&)
{
    return false;
}
bool CMidiPlayer::Play()
{
    return false;
}
bool CMidiPlayer::Stop()
{
    return false;
}
bool CMidiPlayer::Close()
{
    return false;
}
int CMidiPlayer::GetMinutes() const
{
    return -1;
}
int CMidiPlayer::GetSeconds() const
{
    return -1;
}
