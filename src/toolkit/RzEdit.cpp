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
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    SetUpDocument(*document());
}

void TRzRichEdit::SetUpDocument(QTextDocument &document)
{
    QTextOption option = document.defaultTextOption();
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    document.setDefaultTextOption(option);
    document.setDocumentMargin(1);
}

QSize TRzRichEdit::TextArea(const QSize &boxSize)
{
    // The edge the frame reserves around the text, two pixels on every side.
    return boxSize.shrunkBy(QMargins(EdgeWidth, EdgeWidth, EdgeWidth, EdgeWidth));
}

QList<TRzRichEdit::Line> TRzRichEdit::LaidOut(const QString &text, const QFont &font, const QSize &boxSize)
{
    QTextDocument document;
    SetUpDocument(document);
    document.setDefaultFont(font);
    document.setPlainText(text);
    document.setTextWidth(TextArea(boxSize).width());
    return LinesOf(document);
}

QList<TRzRichEdit::Line> TRzRichEdit::LinesOf(const QTextDocument &document)
{
    QList<Line> lines;
    const QAbstractTextDocumentLayout *layout = document.documentLayout();
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QTextLayout *laidOut = block.layout();
        if (!laidOut)
            continue;
        const qreal blockTop = layout->blockBoundingRect(block).top();
        for (int i = 0; i < laidOut->lineCount(); ++i) {
            const QTextLine line = laidOut->lineAt(i);
            lines.append({block.text().mid(line.textStart(), line.textLength()), int(std::floor(blockTop + line.y())),
                          int(std::ceil(blockTop + line.y() + line.height()))});
        }
    }
    return lines;
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

QList<TRzRichEdit::Line> TRzRichEdit::Lines() const
{
    return LinesOf(*document());
}

int TRzRichEdit::TopLine() const
{
    const QList<Line> lines = Lines();
    const int position = verticalScrollBar()->value();
    const auto after =
        std::upper_bound(lines.begin(), lines.end(), position, [](int at, const Line &line) { return at < line.top; });
    return std::max(0, int(after - lines.begin()) - 1);
}

void TRzRichEdit::ScrollByLines(int lines)
{
    const QList<Line> laidOut = Lines();
    if (laidOut.isEmpty() || lines == 0)
        return;
    const int target = std::clamp(TopLine() + lines, 0, int(laidOut.size()) - 1);
    QScrollBar *bar = verticalScrollBar();
    bar->setValue(std::min(laidOut.at(target).top, bar->maximum()));
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
