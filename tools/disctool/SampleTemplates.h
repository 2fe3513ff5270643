#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The document templates of the sample disc, at least one of each type the menu knows.
namespace SampleTemplates {

struct File
{
    QString name;
    QByteArray content;
};

// The files of Files/Templates/: word-processor documents as RTF, a SpreadsheetML workbook,
// a Lotus 1-2-3 worksheet and a stand-in for a database.
QList<File> Files();

} // namespace SampleTemplates
