#pragma once

#include "toolkit/RzFramedControl.h"

#include <QTextEdit>

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

protected:
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QVector<int> LineTops() const;

    int wheelRemainder_ = 0;
};
