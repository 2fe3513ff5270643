#pragma once

#include <functional>

// The platform's default beep; tests swap it for a counter.
class Beep
{
public:
    using Player = std::function<void()>;

    static void Play();

    // Replaces the beep; an empty player restores the platform's. Returns the previous one.
    static Player SetPlayer(Player player);

private:
    static void PlaySystemBeep();
};
