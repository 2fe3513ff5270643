#pragma once

#include "toolkit/RzFramedControl.h"

#include <QFlags>
#include <QImage>
#include <QListWidget>
#include <QString>

#include <functional>
#include <memory>

class TTimer;
class QPainter;

enum TListBoxStyle { lbStandard, lbOwnerDrawFixed };

enum TOwnerDrawStateFlag { odSelected = 0x1, odDisabled = 0x4, odFocused = 0x10 };
Q_DECLARE_FLAGS(TOwnerDrawState, TOwnerDrawStateFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(TOwnerDrawState)

// Draws item index into rect (client coordinates of the list) on the list's Canvas().
using TDrawItemEvent = std::function<void(QWidget *control, int index, const TRect &rect, TOwnerDrawState state)>;

// A framed single-selection list box with fixed-height items, each a text and an optional picture the
// list owns; items are drawn by the owner when OnDrawItem is set. Typing searches the items by prefix.
class TRzCustomListBox : public TRzFramedControl<QListWidget>
{
    Q_OBJECT

public:
    explicit TRzCustomListBox(QWidget *parent = nullptr);
    ~TRzCustomListBox() override;

    // Items.
    int Count() const { return count(); }
    // Appends an item owning a copy of picture; returns its index.
    int AddItem(const QString &text, const QImage &picture = {});
    QString ItemText(int index) const;
    // The item's picture; a null image when it has none.
    QImage ItemPicture(int index) const;
    // Removes every item, releasing their pictures.
    void Clear();

    // The selected item, -1 with none.
    int ItemIndex() const;
    void SetItemIndex(int index);

    // The index of the first visible item.
    int TopIndex() const;
    void SetTopIndex(int index);

    int ItemHeight() const { return itemHeight_; }
    void SetItemHeight(int height);

    TListBoxStyle Style() const { return style_; }
    void SetStyle(TListBoxStyle style);

    bool BeepOnInvalidKey() const { return beepOnInvalidKey_; }
    void SetBeepOnInvalidKey(bool beep) { beepOnInvalidKey_ = beep; }

    bool HorzScrollBar() const { return horzScrollBar_; }
    void SetHorzScrollBar(bool show);
    int HorzExtent() const { return horzExtent_; }
    void SetHorzExtent(int extent);

    // The drawing surface, prepared for the item being drawn; valid only inside OnDrawItem.
    QPainter &Canvas() const;

    // The type-ahead text typed so far, and the timer that clears it after 1.5 s of silence.
    QString SearchText() const { return searchText_; }
    TTimer &SearchTimer() const { return *searchTimer_; }

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TNotifyEvent OnMatch;
    TDrawItemEvent OnDrawItem;

    // Draws item index as the list shows it, with its state, into painter over rect.
    void DrawItem(QPainter &painter, int index, const QRect &rect, TOwnerDrawState state);

protected:
    // Character input for the type-ahead search, by character code.
    void KeyPress(int code);
    bool SearchFor(const QString &text);

    void keyPressEvent(QKeyEvent *event) override;
    void keyboardSearch(const QString &search) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    class Delegate;

    void SearchTimerTick();

    int itemHeight_ = 16;
    TListBoxStyle style_ = lbStandard;
    bool beepOnInvalidKey_ = true;
    bool horzScrollBar_ = false;
    int horzExtent_ = 0;
    QString searchText_;
    bool busy_ = false;
    std::unique_ptr<TTimer> searchTimer_;
    QPainter *canvas_ = nullptr;
    bool pressed_ = false;
    int wheelRemainder_ = 0;
};

// The list box as windows place it.
class TRzListBox : public TRzCustomListBox
{
    Q_OBJECT

public:
    using TRzCustomListBox::TRzCustomListBox;
};
