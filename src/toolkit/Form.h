#pragma once

#include <QWidget>

class QEventLoop;

// A top-level window with the original toolkit's life cycle: a creation handler run through the
// dispatch guard, a show handler for showings by the program, and modal showing with a modal
// result that every way of closing runs through FormCloseQuery and FormClose.
class TForm : public QWidget
{
    Q_OBJECT

public:
    enum ModalResults { mrNone = 0, mrOk = 1, mrCancel = 2, mrYes = 6 };

    explicit TForm(QWidget *parent = nullptr);
    ~TForm() override;

    // Runs FormCreate through the guard; an error is shown and the window is still created.
    void Create();

    // Fixes the client area's size.
    void SetClientSize(int width, int height);

    // Centres the window with its frame on the screen that holds it, where the platform lets a
    // program place its windows. A frame the window system has not drawn yet is guessed from the
    // program's other windows, and the window is centred again once it shows with its own frame.
    void CentreOnScreen();

    // Shows the window modally and returns its modal result once it has closed.
    int ShowModal();
    bool IsModal() const { return loop_ != nullptr; }

    int ModalResult() const { return modalResult_; }
    // While modal, a non-zero result makes the window try to close once the current event is done.
    void SetModalResult(int result);

protected:
    virtual void FormCreate() {}
    virtual void FormShow() {}
    virtual void FormCloseQuery(bool &canClose) { Q_UNUSED(canClose); }
    virtual void FormClose() {}

    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void CloseModal();
    void CentreAgain();

    int modalResult_ = mrNone;
    bool closePending_ = false;
    bool centreWhenFramed_ = false;
    QEventLoop *loop_ = nullptr;
};
