#include "toolkit/RzLstBox.h"

#include "platform/Beep.h"
#include "toolkit/Dispatch.h"
#include "toolkit/Timer.h"

#include <QAbstractItemDelegate>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>

namespace {

constexpr int SearchDelay = 1500;
constexpr int PictureRole = Qt::UserRole;

// The character code a key stands for in the type-ahead search, or -1 for a key that is none.
int CharacterCode(const QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Escape:
        return 27;
    default:
        break;
    }
    const QString text = event->text();
    if (text.isEmpty() || event->modifiers().testAnyFlags(Qt::ControlModifier | Qt::AltModifier))
        return -1;
    const char16_t code = text.at(0).unicode();
    return code >= 32 && code != 127 ? int(code) : -1;
}

bool IsNavigationKey(int key)
{
    switch (key) {
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_End:
    case Qt::Key_Home:
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_Right:
    case Qt::Key_Down:
        return true;
    default:
        return false;
    }
}

// Inverts every other pixel of the rectangle's outline, as a focus rectangle is drawn.
void DrawFocusRect(QPainter &painter, const QRect &rect)
{
    painter.save();
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.setPen(Qt::white);
    const int left = rect.left();
    const int top = rect.top();
    const int right = rect.right();
    const int bottom = rect.bottom();
    for (int x = left; x <= right; x += 2) {
        painter.drawPoint(x, top);
        if (bottom != top)
            painter.drawPoint(x, bottom);
    }
    for (int y = top + 2; y < bottom; y += 2) {
        painter.drawPoint(left, y);
        if (right != left)
            painter.drawPoint(right, y);
    }
    painter.restore();
}

} // namespace

// Hands every item to the list's own drawing, at the list's fixed item height.
class TRzCustomListBox::Delegate : public QAbstractItemDelegate
{
public:
    explicit Delegate(TRzCustomListBox *list) : QAbstractItemDelegate(list), list_(list) {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        TOwnerDrawState state;
        if (option.state.testFlag(QStyle::State_Selected))
            state |= odSelected;
        if (!option.state.testFlag(QStyle::State_Enabled))
            state |= odDisabled;
        if (list_->hasFocus() && list_->currentIndex() == index)
            state |= odFocused;
        list_->DrawItem(*painter, index.row(), option.rect, state);
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        Q_UNUSED(option);
        Q_UNUSED(index);
        int width = list_->viewport()->width();
        if (list_->HorzScrollBar())
            width = std::max(width, list_->HorzExtent());
        return {width, list_->ItemHeight()};
    }

private:
    TRzCustomListBox *list_;
};

TRzCustomListBox::TRzCustomListBox(QWidget *parent)
    : TRzFramedControl<QListWidget>(parent), searchTimer_(std::make_unique<TTimer>())
{
    setItemDelegate(new Delegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(true);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    searchTimer_->SetEnabled(false);
    searchTimer_->SetInterval(SearchDelay);
    searchTimer_->OnTimer = [this](QObject *) { SearchTimerTick(); };
}

TRzCustomListBox::~TRzCustomListBox() = default;

int TRzCustomListBox::AddItem(const QString &text, const QImage &picture)
{
    auto *item = new QListWidgetItem(text);
    if (!picture.isNull())
        item->setData(PictureRole, picture);
    addItem(item);
    return count() - 1;
}

QString TRzCustomListBox::ItemText(int index) const
{
    const QListWidgetItem *entry = item(index);
    return entry ? entry->text() : QString();
}

QImage TRzCustomListBox::ItemPicture(int index) const
{
    const QListWidgetItem *entry = item(index);
    return entry ? entry->data(PictureRole).value<QImage>() : QImage();
}

void TRzCustomListBox::Clear()
{
    clear();
}

int TRzCustomListBox::ItemIndex() const
{
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void TRzCustomListBox::SetItemIndex(int index)
{
    if (index >= 0 && index < count()) {
        setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
        scrollToItem(item(index));
    } else {
        clearSelection();
    }
}

int TRzCustomListBox::TopIndex() const
{
    return verticalScrollBar()->value();
}

void TRzCustomListBox::SetTopIndex(int index)
{
    verticalScrollBar()->setValue(index);
}

void TRzCustomListBox::SetItemHeight(int height)
{
    if (itemHeight_ == height || height <= 0)
        return;
    itemHeight_ = height;
    doItemsLayout();
}

void TRzCustomListBox::SetStyle(TListBoxStyle style)
{
    if (style_ == style)
        return;
    style_ = style;
    viewport()->update();
}

void TRzCustomListBox::SetHorzScrollBar(bool show)
{
    if (horzScrollBar_ == show)
        return;
    horzScrollBar_ = show;
    setHorizontalScrollBarPolicy(show ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    doItemsLayout();
}

void TRzCustomListBox::SetHorzExtent(int extent)
{
    if (horzExtent_ == extent)
        return;
    horzExtent_ = extent;
    doItemsLayout();
}

QPainter &TRzCustomListBox::Canvas() const
{
    Q_ASSERT_X(canvas_, "TRzCustomListBox::Canvas", "used outside item drawing");
    return *canvas_;
}

void TRzCustomListBox::DrawItem(QPainter &painter, int index, const QRect &rect, TOwnerDrawState state)
{
    // The canvas as the platform prepares it for an owner-drawn item.
    const QPalette &colours = palette();
    const bool selected = state.testFlag(odSelected);
    const QColor background = selected ? colours.color(QPalette::Highlight) : Color();
    const QColor text = selected ? colours.color(QPalette::HighlightedText) : colours.color(QPalette::Text);
    painter.save();
    painter.setFont(font());
    painter.setBrush(background);
    painter.setBackground(background);
    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.setPen(text);
    if (style_ == lbOwnerDrawFixed && OnDrawItem) {
        canvas_ = &painter;
        Dispatch::Guarded([&] { OnDrawItem(this, index, RzCommon::RectOf(rect), state); });
        canvas_ = nullptr;
    } else {
        painter.fillRect(rect, background);
        painter.drawText(rect.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, ItemText(index));
    }
    painter.restore();
    if (state.testFlag(odFocused))
        DrawFocusRect(painter, rect);
}

void TRzCustomListBox::KeyPress(int code)
{
    switch (code) {
    case 8:
        if (searchText_.isEmpty()) {
            if (beepOnInvalidKey_)
                Beep::Play();
            SearchFor(searchText_);
        } else {
            searchText_.chop(1);
            if (!searchText_.isEmpty()) {
                SearchFor(searchText_);
            } else {
                SetItemIndex(0);
                searchText_.clear();
            }
        }
        return;
    case 13:
        return;
    case 27:
        SetItemIndex(-1);
        return;
    default:
        break;
    }
    if (code < 32)
        return;
    busy_ = true;
    SearchFor(searchText_ + QChar(char16_t(code)));
    searchTimer_->SetEnabled(false);
    searchTimer_->SetEnabled(true);
    busy_ = false;
}

bool TRzCustomListBox::SearchFor(const QString &text)
{
    for (int i = 0; i < count(); ++i) {
        if (ItemText(i).startsWith(text, Qt::CaseInsensitive)) {
            SetItemIndex(i);
            searchText_ = text;
            Dispatch::Guarded([this] {
                if (OnMatch)
                    OnMatch(this);
            });
            return true;
        }
    }
    if (beepOnInvalidKey_)
        Beep::Play();
    return false;
}

void TRzCustomListBox::SearchTimerTick()
{
    if (busy_)
        return;
    searchText_.clear();
    searchTimer_->SetEnabled(false);
}

void TRzCustomListBox::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape || IsNavigationKey(event->key()))
        searchText_.clear();
    const int code = CharacterCode(event);
    if (code < 0) {
        TRzFramedControl<QListWidget>::keyPressEvent(event);
        return;
    }
    if (code == 13 && TabOnEnterKey(event))
        return;
    KeyPress(code);
    event->accept();
}

void TRzCustomListBox::keyboardSearch(const QString &search)
{
    // Typing is handled by KeyPress: the view's own search would select other items.
    Q_UNUSED(search);
}

void TRzCustomListBox::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        searchText_.clear();
        pressed_ = true;
    }
    TRzFramedControl<QListWidget>::mousePressEvent(event);
}

void TRzCustomListBox::mouseReleaseEvent(QMouseEvent *event)
{
    TRzFramedControl<QListWidget>::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    const bool wasPressed = std::exchange(pressed_, false);
    if (wasPressed && viewport()->rect().contains(event->position().toPoint())) {
        Dispatch::Guarded([this] {
            if (OnClick)
                OnClick(this);
        });
    }
}

void TRzCustomListBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    TRzFramedControl<QListWidget>::mouseDoubleClickEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    // The second press of a double-click is no click of its own.
    pressed_ = false;
    Dispatch::Guarded([this] {
        if (OnDblClick)
            OnDblClick(this);
    });
}

void TRzCustomListBox::wheelEvent(QWheelEvent *event)
{
    wheelRemainder_ += event->angleDelta().y();
    const int steps = wheelRemainder_ / QWheelEvent::DefaultDeltasPerStep;
    wheelRemainder_ -= steps * QWheelEvent::DefaultDeltasPerStep;
    const int lines = RzCommon::ScrollLines();
    for (int i = 0; i < std::abs(steps); ++i) {
        const int position = TopIndex();
        if (steps < 0) {
            SetTopIndex(position + lines);
        } else {
            // Fewer than ScrollLines items above the top one: go to the first item.
            SetTopIndex(std::max(position - lines, 0));
        }
    }
    event->accept();
}
