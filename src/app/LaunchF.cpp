#include "app/LaunchF.h"

TLauncher::TLauncher(QWidget *parent)
    : TForm(parent)
{
    setObjectName(QStringLiteral("Launcher"));
    setWindowTitle(QStringLiteral("Brindlemoor templates"));
}
