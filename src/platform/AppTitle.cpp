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
    if (title() == t)
        return;
    title() = t;
    if (qGuiApp)
        QGuiApplication::setApplicationDisplayName(t);
}
