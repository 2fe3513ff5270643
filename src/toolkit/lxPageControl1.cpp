#include "toolkit/lxPageControl1.h"

#include <QApplication>
#include <QChildEvent>
#include <QPalette>
#include <QResizeEvent>

namespace {

// The first control of page, in focus order, that can take the keyboard focus.
QWidget *FirstFocusable(QWidget *page)
{
    for (QWidget *w = page->nextInFocusChain(); w && w != page; w = w->nextInFocusChain()) {
        if (!page->isAncestorOf(w))
            continue;
        if ((w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && w->isVisibleTo(page))
            return w;
    }
    return nullptr;
}

} // namespace

TlxPageControl1::TlxPageControl1(QWidget *parent) : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
}

QWidget *TlxPageControl1::AddPage(const QString &name)
{
    auto *page = new QWidget(this);
    page->setObjectName(name);
    page->setGeometry(rect());
    page->hide();
    pages_.append(page);
    return page;
}

QWidget *TlxPageControl1::Pages(int index) const
{
    return index >= 0 && index < pages_.size() ? pages_.at(index) : nullptr;
}

int TlxPageControl1::IndexOfPage(const QWidget *page) const
{
    for (int i = 0; i < pages_.size(); ++i) {
        if (pages_.at(i) == page)
            return i;
    }
    return -1;
}

void TlxPageControl1::SetActivePage(QWidget *page)
{
    if (page && IndexOfPage(page) < 0)
        return;
    if (page == active_)
        return;
    QWidget *old = active_;
    active_ = page;
    QWidget *focus = QApplication::focusWidget();
    const bool focusInOld = old && focus && old->isAncestorOf(focus);
    if (page) {
        page->setGeometry(rect());
        page->raise();
        page->show();
    }
    if (old)
        old->hide();
    if (focusInOld) {
        if (QWidget *target = page ? FirstFocusable(page) : nullptr)
            target->setFocus(Qt::OtherFocusReason);
        else
            setFocus(Qt::OtherFocusReason);
    }
}

int TlxPageControl1::ActivePageIndex() const
{
    return IndexOfPage(active_);
}

void TlxPageControl1::SetActivePageIndex(int index)
{
    SetActivePage(Pages(index));
}

QBrush TlxPageControl1::Brush() const
{
    return palette().brush(backgroundRole());
}

void TlxPageControl1::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    for (QWidget *page : pages_)
        page->setGeometry(rect());
}

void TlxPageControl1::childEvent(QChildEvent *event)
{
    QWidget::childEvent(event);
    // A page destroyed or taken away leaves the control.
    if (!event->removed())
        return;
    const QObject *child = event->child();
    pages_.removeIf([child](const QWidget *page) { return page == child; });
    if (active_ == child)
        active_ = nullptr;
}
