#include "platform/ErrorBox.h"

#include <QApplication>
#include <QMessageBox>

void ErrorBox::ShowSystemBox(Icon icon, const QString &title, const QString &text)
{
    QMessageBox box(icon == Icon::Stop ? QMessageBox::Critical : QMessageBox::NoIcon, title, text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.exec();
}
