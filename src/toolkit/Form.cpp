#include "toolkit/Form.h"

#include "platform/WindowPlacement.h"
#include "toolkit/Dispatch.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QMoveEvent>
#include <QPointer>
#include <QShowEvent>
#include <QWindow>

TForm::TForm(QWidget *parent) : QWidget(parent, Qt::Window) {}

TForm::~TForm()
{
    if (loop_)
        loop_->exit(0);
}

void TForm::Create()
{
    Dispatch::Guarded([this] { FormCreate(); });
}

void TForm::SetClientSize(int width, int height)
{
    setFixedSize(width, height);
}

void TForm::CentreOnScreen()
{
    centreWhenFramed_ = !WindowPlacement::Centre(*this);
}

int TForm::ShowModal()
{
    modalResult_ = mrNone;
    setWindowModality(Qt::ApplicationModal);
    QEventLoop loop;
    loop_ = &loop;
    QPointer<TForm> self(this);
    show();
    raise();
    activateWindow();
    if (isVisible())
        loop.exec(QEventLoop::DialogExec);
    if (!self)
        return mrCancel;
    loop_ = nullptr;
    setWindowModality(Qt::NonModal);
    return modalResult_;
}

void TForm::SetModalResult(int result)
{
    modalResult_ = result;
    if (!loop_ || result == mrNone || closePending_)
        return;
    closePending_ = true;
    QMetaObject::invokeMethod(
        this, [this] { CloseModal(); }, Qt::QueuedConnection);
}

void TForm::CloseModal()
{
    closePending_ = false;
    if (loop_ && modalResult_ != mrNone)
        close();
}

void TForm::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // A window restored from minimised by the window system is not a showing by the program.
    if (!event->spontaneous())
        Dispatch::Guarded([this] { FormShow(); });
    CentreAgain();
    // The window system has framed the window by the time the window shows on the screen.
    if (centreWhenFramed_ && windowHandle())
        windowHandle()->installEventFilter(this);
}

void TForm::CentreAgain()
{
    if (centreWhenFramed_)
        centreWhenFramed_ = !WindowPlacement::Centre(*this);
}

bool TForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == windowHandle() && event->type() == QEvent::Expose && centreWhenFramed_)
        QMetaObject::invokeMethod(this, &TForm::CentreAgain, Qt::QueuedConnection);
    return QWidget::eventFilter(watched, event);
}

void TForm::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    // Some window systems frame a window when they first place it: one more try, with whatever
    // frame it has by then.
    if (centreWhenFramed_ && event->spontaneous() && isVisible()) {
        centreWhenFramed_ = false;
        WindowPlacement::Centre(*this);
    }
}

void TForm::closeEvent(QCloseEvent *event)
{
    if (loop_ && modalResult_ == mrNone)
        modalResult_ = mrCancel;
    bool canClose = true;
    bool failed = true;
    Dispatch::Guarded([this, &canClose, &failed] {
        FormCloseQuery(canClose);
        failed = false;
    });
    // An error while deciding abandons the attempt to close.
    if (failed || !canClose) {
        modalResult_ = mrNone;
        event->ignore();
        return;
    }
    Dispatch::Guarded([this] { FormClose(); });
    event->accept();
}

void TForm::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    if (loop_ && !event->spontaneous())
        loop_->exit(0);
}
