#include "toolkit/RzEdit.h"

#include <QAbstractTextDocumentLayout>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

TRzRichEdit::TRzRichEdit(QWidget *parent) : TRzFramedControl<QTextEdit>(parent)
{
    setAcceptRichText(false);
    setUndoRedoEnabled(false);
    setLineWrapMode(QTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    document()->setDocumentMargin(1);
}

QString TRzRichEdit::Text() const
{
    return toPlainText();
}

void TRzRichEdit::SetText(const QString &text)
{
    setPlainText(text);
    verticalScrollBar()->setValue(0);
}

void TRzRichEdit::SetReadOnly(bool readOnly)
{
    if (isReadOnly() == readOnly)
        return;
    setReadOnly(readOnly);
    if (readOnly)
        setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    // A description the user cannot change shows no blinking text cursor when it has the focus.
    setCursorWidth(readOnly ? 0 : 1);
}

QVector<int> TRzRichEdit::LineTops() const
{
    QVector<int> tops;
    const QAbstractTextDocumentLayout *layout = document()->documentLayout();
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        const QTextLayout *lines = block.layout();
        if (!lines)
            continue;
        const qreal blockTop = layout->blockBoundingRect(block).top();
        for (int i = 0; i < lines->lineCount(); ++i)
            tops.append(int(std::floor(blockTop + lines->lineAt(i).y())));
    }
    return tops;
}

int TRzRichEdit::TopLine() const
{
    const QVector<int> tops = LineTops();
    const int position = verticalScrollBar()->value();
    const auto after = std::upper_bound(tops.begin(), tops.end(), position);
    return std::max(0, int(after - tops.begin()) - 1);
}

void TRzRichEdit::ScrollByLines(int lines)
{
    const QVector<int> tops = LineTops();
    if (tops.isEmpty() || lines == 0)
        return;
    const int target = std::clamp(TopLine() + lines, 0, int(tops.size()) - 1);
    QScrollBar *bar = verticalScrollBar();
    bar->setValue(std::min(tops.at(target), bar->maximum()));
}

void TRzRichEdit::wheelEvent(QWheelEvent *event)
{
    wheelRemainder_ += event->angleDelta().y();
    const int steps = wheelRemainder_ / QWheelEvent::DefaultDeltasPerStep;
    wheelRemainder_ -= steps * QWheelEvent::DefaultDeltasPerStep;
    const int perStep = event->modifiers().testFlag(Qt::ControlModifier) ? RzCommon::ScrollLines() : 1;
    // A step away from the user (positive delta) scrolls the text down the screen: towards its start.
    ScrollByLines(-steps * perStep);
    event->accept();
}

void TRzRichEdit::keyPressEvent(QKeyEvent *event)
{
    if (TabOnEnterKey(event))
        return;
    TRzFramedControl<QTextEdit>::keyPressEvent(event);
}
