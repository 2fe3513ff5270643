#include "toolkit/Form.h"

#include "toolkit/Dispatch.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QShowEvent>

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
    QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
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
