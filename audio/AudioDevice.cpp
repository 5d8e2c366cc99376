#include "audio/AudioDevice.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
enum class State { Untried, Open, Failed };

State s_state = State::Untried;

// Held on the heap and never destroyed, so nothing depends on the order of
// static destruction at program end.
std::vector<void (*)()>& Listeners()
{
    static auto* listeners = new std::vector<void (*)()>;
    return *listeners;
}

void ReportNoDevice(const char* what)
{
    std::fprintf(stderr, "zandor-puzzle: no audio device, sound and music are off (%s: %s)\n", what,
                 SDL_GetError());
}
} // namespace

bool CAudioDevice::Acquire()
{
    if (s_state == State::Open)
        return true;
    if (s_state == State::Failed)
        return false;

    // The game owns its signal handling; SDL is only here for the sound.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        ReportNoDevice("SDL audio");
        s_state = State::Failed;
        return false;
    }
    if (Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 1024) != 0) {
        ReportNoDevice("mixer");
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        s_state = State::Failed;
        return false;
    }
    s_state = State::Open;
    return true;
}

bool CAudioDevice::IsOpen()
{
    return s_state == State::Open;
}

void CAudioDevice::Shutdown()
{
    if (s_state == State::Open) {
        for (void (*listener)() : Listeners())
            listener();
        Mix_HaltChannel(-1);
        Mix_CloseAudio();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    s_state = State::Untried;
}

void CAudioDevice::AddCloseListener(void (*listener)())
{
    std::vector<void (*)()>& listeners = Listeners();
    if (std::find(listeners.begin(), listeners.end(), listener) == listeners.end())
        listeners.push_back(listener);
}
