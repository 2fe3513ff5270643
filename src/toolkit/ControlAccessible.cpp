#include "toolkit/ControlAccessible.h"

#include "toolkit/Control.h"
#include "toolkit/Image.h"
#include "toolkit/RzLabel.h"

#include <QApplication>

namespace {

QAccessibleInterface *ControlFactory(const QString &, QObject *object)
{
    if (auto *control = qobject_cast<TControl *>(object))
        return new TControlAccessible(control);
    return nullptr;
}

// A caption as read aloud: an accelerator's '&' is not spoken, "&&" is one '&'.
QString WithoutAccelerators(const QString &caption)
{
    QString text;
    text.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&' && i + 1 < caption.size())
            ++i;
        text += caption[i];
    }
    return text;
}

// Whether a modal window keeps input from window, as it keeps the mouse from it.
bool BlockedByModal(const QWidget *window)
{
    const QWidget *modal = QApplication::activeModalWidget();
    if (!modal || modal == window)
        return false;
    // A window opened from the modal one takes input.
    for (const QWidget *w = window->parentWidget(); w; w = w->parentWidget()) {
        if (w == modal)
            return false;
    }
    if (modal->windowModality() != Qt::WindowModal)
        return true;
    // A window-modal one blocks only the windows it was opened from.
    for (const QWidget *w = modal->parentWidget(); w; w = w->parentWidget()) {
        if (w->window() == window)
            return true;
    }
    return false;
}

} // namespace

TControlAccessible::TControlAccessible(TControl *control) : QAccessibleWidget(control) {}

void TControlAccessible::Install()
{
    static const bool installed = [] {
        QAccessible::installFactory(ControlFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

TControl *TControlAccessible::Control() const
{
    return static_cast<TControl *>(widget());
}

bool TControlAccessible::Clickable() const
{
    return bool(Control()->OnClick);
}

bool TControlAccessible::Pressable(const TControl *control)
{
    return control->isVisible() && control->isEnabled() && !BlockedByModal(control->window());
}

QAccessible::Role TControlAccessible::role() const
{
    if (Clickable())
        return QAccessible::Button;
    if (qobject_cast<const TRzLabel *>(object()))
        return QAccessible::StaticText;
    if (qobject_cast<const TImage *>(object()))
        return QAccessible::Graphic;
    return QAccessibleWidget::role();
}

QAccessible::State TControlAccessible::state() const
{
    QAccessible::State s = QAccessibleWidget::state();
    const QAccessible::Role r = role();
    if (r == QAccessible::StaticText || r == QAccessible::Graphic)
        s.readOnly = true;
    return s;
}

QString TControlAccessible::text(QAccessible::Text t) const
{
    QString text = QAccessibleWidget::text(t);
    if (t == QAccessible::Name && text.isEmpty()) {
        if (const auto *label = qobject_cast<const TRzLabel *>(object()))
            text = label->ShowAccelChar() ? WithoutAccelerators(label->Caption()) : label->Caption();
    }
    return text;
}

QStringList TControlAccessible::actionNames() const
{
    QStringList names = QAccessibleWidget::actionNames();
    if (Clickable())
        names.prepend(pressAction());
    return names;
}

void TControlAccessible::doAction(const QString &actionName)
{
    if (actionName != pressAction() || !Clickable()) {
        QAccessibleWidget::doAction(actionName);
        return;
    }
    // The click comes once the press is answered, as a button's animated click does: a click that
    // opens a modal window would otherwise keep the screen reader waiting until the window closes.
    // It acts only where a mouse click could reach the control.
    QMetaObject::invokeMethod(
        Control(),
        [control = Control()] {
            if (Pressable(control))
                control->Click();
        },
        Qt::QueuedConnection);
}
