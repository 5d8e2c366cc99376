#include "engine/Random.h"

namespace {
std::uint32_t s_state = 1;
}

int CRandom::Next()
{
    s_state = s_state * 214013u + 2531011u;
    return static_cast<int>((s_state >> 16) & 0x7FFFu);
}

std::uint32_t CRandom::GetState()
{
    return s_state;
}

void CRandom::SetState(std::uint32_t state)
{
    s_state = state;
}
