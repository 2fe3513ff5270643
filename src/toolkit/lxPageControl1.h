#pragma once

#include <QBrush>
#include <QVector>
#include <QWidget>

// A stack of pages of which one at most is shown; every page fills the whole control, with no tab
// strip, frame or margin, so coordinates on a page are the control's own. Pages are switched only
// by the program.
class TlxPageControl1 : public QWidget
{
    Q_OBJECT

public:
    explicit TlxPageControl1(QWidget *parent = nullptr);

    // Appends a new, hidden page (a plain widget owned by the control) with the given object name.
    QWidget *AddPage(const QString &name = {});

    int PageCount() const { return pages_.size(); }
    QWidget *Pages(int index) const;
    int IndexOfPage(const QWidget *page) const;

    QWidget *ActivePage() const { return active_; }
    // Shows page (one of this control's pages, or none); the active page again changes nothing.
    void SetActivePage(QWidget *page);

    // The active page's index, -1 with none.
    int ActivePageIndex() const;
    // An index outside 0 to PageCount() - 1 leaves no page shown.
    void SetActivePageIndex(int index);

    // The control's background brush (read only).
    QBrush Brush() const;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void childEvent(QChildEvent *event) override;

private:
    QVector<QWidget *> pages_;
    QWidget *active_ = nullptr;
};
