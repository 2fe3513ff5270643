#include "platform/AppTitle.h"

#include <QGuiApplication>

namespace {
QString &title()
{
    static QString t = QStringLiteral("Brindlemoor");
    return t;
}
} // namespace

QString AppTitle::Title()
{
    return title();
}

void AppTitle::SetTitle(const QString &t)
{
    title() = t;
    // The desktop shows the display name, which starts out as the program's file name.
    if (qGuiApp && QGuiApplication::applicationDisplayName() != t)
        QGuiApplication::setApplicationDisplayName(t);
}
