// SPDX-License-Identifier: MIT
#include "platform/SessionBus.h"

#include <QDBusConnection>
#include <QThread>

SessionBus::SessionBus() : thread_(QThread::create([] { QDBusConnection::sessionBus(); }))
{
    thread_->start();
}

SessionBus::~SessionBus()
{
    thread_->wait();
}
