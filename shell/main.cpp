#include <cstdio>

int main()
{
    std::puts("Zandor Puzzle: the game window is not built yet.");
    return 0;
}
