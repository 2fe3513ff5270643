#include "platform/Beep.h"

#include <QApplication>

void Beep::PlaySystemBeep()
{
    QApplication::beep();
}
