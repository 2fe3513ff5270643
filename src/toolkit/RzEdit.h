#pragma once

#include "toolkit/RzFramedControl.h"

#include <QList>
#include <QTextEdit>

class QTextDocument;

// A framed, word-wrapped text box without scroll bars whose whole text is set at once; read-only
// boxes let the user select and scroll but not type. The wheel scrolls by whole lines.
class TRzRichEdit : public TRzFramedControl<QTextEdit>
{
    Q_OBJECT

public:
    explicit TRzRichEdit(QWidget *parent = nullptr);

    QString Text() const;
    // Replaces the whole text, shown as given (no markup is interpreted), scrolled to the top.
    void SetText(const QString &text);

    bool ReadOnly() const { return isReadOnly(); }
    void SetReadOnly(bool readOnly);

    // The index of the first line shown.
    int TopLine() const;
    // Scrolls by whole lines (negative: up), as far as the text allows.
    void ScrollByLines(int lines);

    // One line of text as a box lays it out: its text and where it lies in the box's text area.
    struct Line
    {
        QString text;
        int top = 0;
        int bottom = 0; // exclusive
    };
    // The lines the box shows its text in, from the first to the last.
    QList<Line> Lines() const;
    // How a box of boxSize showing font lays out text, from its first line to its last, without
    // a box: what a box would show, worked out where there are no windows.
    static QList<Line> LaidOut(const QString &text, const QFont &font, const QSize &boxSize);
    // The area within a box of boxSize that shows the text, inside the box's edge.
    static QSize TextArea(const QSize &boxSize);

protected:
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    // Words wrap at their boundaries, or anywhere in a word longer than the line.
    static void SetUpDocument(QTextDocument &document);
    static QList<Line> LinesOf(const QTextDocument &document);

    int wheelRemainder_ = 0;
};
