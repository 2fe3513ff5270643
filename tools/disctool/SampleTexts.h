#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>

// The words of the sample disc: page descriptions, installer stand-ins and the two web pages.
namespace SampleTexts {

struct File
{
    QString name;
    QByteArray content;
};

// The six description texts of Files/Text Files/, in Windows-1252 with CRLF line breaks.
QList<File> Descriptions();

// The stand-in for an installer: a short note saying which program it stands for.
// tool is 1 to 4 for the toolbox programs, 0 for the sample program.
QByteArray SetupPlaceholder(int tool);

// The order form, Files/Web Files/Order.html.
QByteArray OrderPage();

// The help page of the extra-files page, Files/Web Files/Help.html; it names the folder that
// templates of disc discNumber are copied to.
QByteArray HelpPage(std::int32_t discNumber);

} // namespace SampleTexts
