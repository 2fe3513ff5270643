#pragma once

#include <QAccessibleWidget>

class TControl;

// What screen readers see of a custom-drawn control: a control with a click handler is a button
// that can be pressed, a label shows its caption as static text, a picture is a graphic.
class TControlAccessible : public QAccessibleWidget
{
public:
    explicit TControlAccessible(TControl *control);

    // Registers the interface for every control; safe to call more than once.
    static void Install();

    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    QString text(QAccessible::Text t) const override;
    QStringList actionNames() const override;
    void doAction(const QString &actionName) override;

private:
    TControl *Control() const;
    bool Clickable() const;
    static bool Pressable(const TControl *control);
};
