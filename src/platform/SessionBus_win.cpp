// SPDX-License-Identifier: MIT
#include "platform/SessionBus.h"

#include <QThread>

SessionBus::SessionBus() = default;

SessionBus::~SessionBus() = default;
