// SPDX-License-Identifier: MIT
#include "platform/FontConfigLoad.h"

#include <fontconfig/fontconfig.h>

FontConfigLoad::FontConfigLoad() : thread_([] { FcInit(); }) {}

FontConfigLoad::~FontConfigLoad()
{
    Wait();
}

void FontConfigLoad::Wait()
{
    if (thread_.joinable())
        thread_.join();
}
