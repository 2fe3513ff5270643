#include "platform/Attention.h"

#include <QApplication>

// Windows flashes the window's task-bar button (FlashWindowEx) until the user turns to it.
void Attention::Ask(QWidget *window)
{
    QApplication::alert(window);
}
