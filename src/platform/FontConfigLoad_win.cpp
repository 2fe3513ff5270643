// SPDX-License-Identifier: MIT
#include "platform/FontConfigLoad.h"

FontConfigLoad::FontConfigLoad() = default;

FontConfigLoad::~FontConfigLoad() = default;

void FontConfigLoad::Wait() {}
