#include "platform/ErrorBox.h"

#include "platform/AppTitle.h"

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
        ShowSystemBox(Icon::Stop, AppTitle::Title(), text);
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
        ShowSystemBox(Icon::None, AppTitle::Title(), message);
}

ErrorBox::Presenter ErrorBox::SetInformer(Presenter p)
{
    return std::exchange(informer(), std::move(p));
}
