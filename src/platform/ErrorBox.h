#pragma once

#include <QString>

#include <functional>

// The standard error box: application title, stop icon, OK; tests swap the box for a recorder.
class ErrorBox
{
public:
    using Presenter = std::function<void(const QString &title, const QString &text)>;

    // The error's text, followed by a full stop when its last character sorts after the full stop.
    static QString BoxText(const QString &message);

    // Shows the box modally (or hands it to the installed presenter).
    static void Show(const QString &message);

    // Replaces the modal box; an empty presenter restores it. Returns the previous one.
    static Presenter SetPresenter(Presenter presenter);

    // Shows a plain message box with the application title, no icon and one OK button.
    static void Inform(const QString &message);

    // Replaces the plain message box, like SetPresenter.
    static Presenter SetInformer(Presenter presenter);

private:
    enum class Icon { None, Stop };

    // The system's own modal message box with one OK button.
    static void ShowSystemBox(Icon icon, const QString &title, const QString &text);
};
