#include "platform/Beep.h"

#include <utility>

namespace {
Beep::Player &InstalledPlayer()
{
    static Beep::Player player;
    return player;
}
} // namespace

void Beep::Play()
{
    if (const Player &player = InstalledPlayer())
        player();
    else
        PlaySystemBeep();
}

Beep::Player Beep::SetPlayer(Player player)
{
    return std::exchange(InstalledPlayer(), std::move(player));
}
