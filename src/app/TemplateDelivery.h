#pragma once

#include <QString>
#include <QStringList>

// Puts a template of the disc's template list onto the hard disk, with the other templates, the
// disc's pictures and sounds beside it, and opens the folder that holds it.
class TemplateDelivery
{
public:
    // templateFolder is relative to AppFolder ("Files/Templates/"); entries are the list's texts in
    // list order and selected the index of the chosen one (nothing happens when it is out of range).
    // A disc without its pictures or sounds folder raises EInOutError once the copies before that
    // folder's are made; the folder holding the copy is then not opened.
    static void Deliver(const QString &templateFolder, const QStringList &entries, int selected);
};
