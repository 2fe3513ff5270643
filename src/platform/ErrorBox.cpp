#include "platform/ErrorBox.h"

#include "platform/AppTitle.h"

#include <QApplication>
#include <QMessageBox>

#include <utility>

namespace {
ErrorBox::Presenter &presenter()
{
    static ErrorBox::Presenter p;
    return p;
}

ErrorBox::Presenter &informer()
{
    static ErrorBox::Presenter p;
    return p;
}

void showBox(QMessageBox::Icon icon, const QString &title, const QString &text)
{
    QMessageBox box(icon, title, text, QMessageBox::Ok, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.exec();
}
} // namespace

QString ErrorBox::BoxText(const QString &message)
{
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

void ErrorBox::Show(const QString &message)
{
    const QString text = BoxText(message);
    if (presenter())
        presenter()(AppTitle::Title(), text);
    else
        showBox(QMessageBox::Critical, AppTitle::Title(), text);
}

ErrorBox::Presenter ErrorBox::SetPresenter(Presenter p)
{
    return std::exchange(presenter(), std::move(p));
}

void ErrorBox::Inform(const QString &message)
{
    if (informer())
        informer()(AppTitle::Title(), message);
    else
        showBox(QMessageBox::NoIcon, AppTitle::Title(), message);
}

ErrorBox::Presenter ErrorBox::SetInformer(Presenter p)
{
    return std::exchange(informer(), std::move(p));
}
