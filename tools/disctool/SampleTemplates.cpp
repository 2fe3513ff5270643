#include "SampleTemplates.h"

#include <QXmlStreamWriter>

#include <cstring>

namespace {

// Word-processor documents are RTF, which word processors open whatever the file is called.
// Non-ASCII characters are written as Windows-1252 escapes (\'92 is a right single quote).
const char LetterRtf[] = R"({\rtf1\ansi\ansicpg1252\deff0
{\fonttbl{\f0\froman\fcharset0 Times New Roman;}{\f1\fswiss\fcharset0 Arial;}}
{\colortbl;\red31\green94\blue74;}
\paperw11906\paperh16838\margl1440\margr1440\margt1440\margb1440
\pard\qr\f1\fs20 [Your name]\line [Your address]\line [Town and postcode]\line [Telephone]\par
\pard\sa240\par
\pard\f1\fs20 [Their name]\line [Their address]\line [Town and postcode]\par
\pard\sa240\par
\pard\qr\f0\fs24 [Date]\par
\pard\sa240\f0\fs24 Dear [name],\par
\pard\sa120\f0\fs24\b [What the letter is about]\b0\par
\pard\sa240\f0\fs24 [Write your letter here. Keep to one subject in each paragraph \'96 it\'92s easier to read.]\par
\pard\sa240\f0\fs24 Yours sincerely,\par
\pard\sa0\par\par
\pard\f0\fs24 [Your name]\par
}
)";

const char FaxRtf[] = R"({\rtf1\ansi\ansicpg1252\deff0
{\fonttbl{\f0\fswiss\fcharset0 Arial;}}
{\colortbl;\red31\green94\blue74;\red255\green255\blue255;}
\paperw11906\paperh16838\margl1134\margr1134\margt1134\margb1134
\pard\qc\sa360\f0\fs72\b\cf1 FAX\cf0\b0\par
\pard\sa120\f0\fs24\b To:\b0\tab [Name]\par
\pard\sa120\f0\fs24\b Fax number:\b0\tab [Number]\par
\pard\sa120\f0\fs24\b From:\b0\tab [Your name]\par
\pard\sa120\f0\fs24\b Fax number:\b0\tab [Your number]\par
\pard\sa120\f0\fs24\b Date:\b0\tab [Date]\par
\pard\sa360\f0\fs24\b Pages:\b0\tab [Number of pages, this one included]\par
\pard\brdrt\brdrs\brdrw15\sa240\f0\fs24\b Message\b0\par
\pard\f0\fs24 [Your message]\par
\pard\sa240\par
\pard\f0\fs18\i If any pages are missing or unreadable, please telephone the sender as soon as possible.\i0\par
}
)";

const char RecipeRtf[] = R"({\rtf1\ansi\ansicpg1252\deff0
{\fonttbl{\f0\froman\fcharset0 Times New Roman;}{\f1\fswiss\fcharset0 Arial;}}
\paperw11906\paperh16838\margl1440\margr1440\margt1440\margb1440
\pard\qc\sa120\f1\fs40\b [Name of the dish]\b0\par
\pard\qc\sa360\f0\fs22\i Serves [4] \'95 Preparation [20 minutes] \'95 Cooking [1 hour]\i0\par
\pard\sa120\f1\fs26\b Ingredients\b0\par
\pard\li360\f0\fs24 [225 g plain flour]\par
[\'bd teaspoon salt]\par
[2 eggs]\par
\pard\sa120\par
\pard\sa120\f1\fs26\b Method\b0\par
\pard\li360\sa120\f0\fs24 1.\tab [First step]\par
2.\tab [Second step]\par
3.\tab [Serve at once]\par
\pard\sa240\par
\pard\f0\fs20\i Tip: [A note for next time]\i0\par
}
)";

// The database template is a stand-in: no office suite on every desktop opens Access files.
const char AddressBookNote[] = "Address Book - database template (stand-in)\r\n"
                               "\r\n"
                               "This file takes the place of an address-book database on the\r\n"
                               "sample disc. It holds no tables.\r\n";

QByteArray budgetWorkbook()
{
    struct Row
    {
        const char *item;
        double budget;
    };
    const Row income[] = {{"Salary", 1450}, {"Other income", 120}};
    const Row outgoings[] = {{"Rent or mortgage", 520}, {"Council tax", 85}, {"Gas and electricity", 74},
                             {"Telephone", 28},         {"Food", 260},       {"Travel", 110},
                             {"Savings", 150}};

    QByteArray xml;
    QXmlStreamWriter w(&xml);
    w.setAutoFormatting(true);
    w.writeStartDocument();
    w.writeProcessingInstruction(QStringLiteral("mso-application"), QStringLiteral("progid=\"Excel.Sheet\""));
    const QString ss = QStringLiteral("urn:schemas-microsoft-com:office:spreadsheet");
    w.writeDefaultNamespace(ss);
    w.writeNamespace(ss, QStringLiteral("ss"));
    w.writeStartElement(QStringLiteral("Workbook"));

    const auto style = [&](const char *id, const char *bold, const char *format, const char *fill) {
        w.writeStartElement(QStringLiteral("Style"));
        w.writeAttribute(ss, QStringLiteral("ID"), QString::fromLatin1(id));
        w.writeStartElement(QStringLiteral("Font"));
        w.writeAttribute(ss, QStringLiteral("FontName"), QStringLiteral("Arial"));
        w.writeAttribute(ss, QStringLiteral("Size"),
                         std::strcmp(id, "Title") == 0 ? QStringLiteral("14") : QStringLiteral("10"));
        w.writeAttribute(ss, QStringLiteral("Bold"), QString::fromLatin1(bold));
        w.writeEndElement();
        if (format) {
            w.writeStartElement(QStringLiteral("NumberFormat"));
            w.writeAttribute(ss, QStringLiteral("Format"), QString::fromLatin1(format));
            w.writeEndElement();
        }
        if (fill) {
            w.writeStartElement(QStringLiteral("Interior"));
            w.writeAttribute(ss, QStringLiteral("Color"), QString::fromLatin1(fill));
            w.writeAttribute(ss, QStringLiteral("Pattern"), QStringLiteral("Solid"));
            w.writeEndElement();
        }
        w.writeEndElement();
    };
    w.writeStartElement(QStringLiteral("Styles"));
    style("Default", "0", nullptr, nullptr);
    style("Title", "1", nullptr, nullptr);
    style("Head", "1", nullptr, "#CFE0D9");
    style("Money", "0", "#,##0.00", nullptr);
    style("Total", "1", "#,##0.00", "#F3F7F5");
    w.writeEndElement();

    w.writeStartElement(QStringLiteral("Worksheet"));
    w.writeAttribute(ss, QStringLiteral("Name"), QStringLiteral("Monthly budget"));
    w.writeStartElement(QStringLiteral("Table"));
    for (const char *width : {"150", "80", "80", "80"}) {
        w.writeStartElement(QStringLiteral("Column"));
        w.writeAttribute(ss, QStringLiteral("Width"), QString::fromLatin1(width));
        w.writeEndElement();
    }

    const auto cell = [&](const char *styleId, const QString &type, const QString &value, const QString &formula) {
        w.writeStartElement(QStringLiteral("Cell"));
        if (styleId)
            w.writeAttribute(ss, QStringLiteral("StyleID"), QString::fromLatin1(styleId));
        if (!formula.isEmpty())
            w.writeAttribute(ss, QStringLiteral("Formula"), formula);
        if (!type.isEmpty()) {
            w.writeStartElement(QStringLiteral("Data"));
            w.writeAttribute(ss, QStringLiteral("Type"), type);
            w.writeCharacters(value);
            w.writeEndElement();
        }
        w.writeEndElement();
    };
    const QString text = QStringLiteral("String");
    const QString number = QStringLiteral("Number");
    const auto startRow = [&] { w.writeStartElement(QStringLiteral("Row")); };
    const auto headingRow = [&](const char *title) {
        startRow();
        cell("Head", text, QString::fromLatin1(title), {});
        cell("Head", text, QStringLiteral("Budget"), {});
        cell("Head", text, QStringLiteral("Actual"), {});
        cell("Head", text, QStringLiteral("Difference"), {});
        w.writeEndElement();
    };
    // Item rows: budget given, actual left to fill in, difference worked out.
    const auto itemRows = [&](const auto &rows) {
        for (const Row &row : rows) {
            startRow();
            cell(nullptr, text, QString::fromLatin1(row.item), {});
            cell("Money", number, QString::number(row.budget), {});
            cell("Money", {}, {}, {});
            cell("Money", {}, {}, QStringLiteral("=RC[-1]-RC[-2]"));
            w.writeEndElement();
        }
    };
    const auto totalRow = [&](const char *title, int count) {
        startRow();
        cell("Total", text, QString::fromLatin1(title), {});
        const QString sum = QStringLiteral("=SUM(R[-%1]C:R[-1]C)").arg(count);
        for (int column = 0; column < 3; ++column)
            cell("Total", {}, {}, sum);
        w.writeEndElement();
    };

    startRow();
    cell("Title", text, QStringLiteral("Household budget for [month]"), {});
    w.writeEndElement();
    w.writeEmptyElement(QStringLiteral("Row"));
    headingRow("Income");
    itemRows(income);
    totalRow("Total income", static_cast<int>(std::size(income)));
    w.writeEmptyElement(QStringLiteral("Row"));
    headingRow("Outgoings");
    itemRows(outgoings);
    totalRow("Total outgoings", static_cast<int>(std::size(outgoings)));
    w.writeEmptyElement(QStringLiteral("Row"));
    startRow();
    cell("Total", text, QStringLiteral("Left over"), {});
    // Total income sits above the whole outgoings block (its rows and five more), total outgoings
    // two rows up.
    const QString leftOver = QStringLiteral("=R[-%1]C-R[-2]C").arg(static_cast<int>(std::size(outgoings)) + 5);
    for (int column = 0; column < 3; ++column)
        cell("Total", {}, {}, leftOver);
    w.writeEndElement();

    w.writeEndElement(); // Table
    w.writeEndElement(); // Worksheet
    w.writeEndElement(); // Workbook
    w.writeEndDocument();
    return xml;
}

// Lotus 1-2-3 release 1A worksheet records: opcode, body length, body, all little-endian.
class LotusWriter
{
public:
    LotusWriter()
    {
        record(0x0000, word(0x0404)); // beginning of file, WKS format
    }

    void ColumnWidth(int column, int width) { record(0x0008, word(column) + QByteArray(1, static_cast<char>(width))); }

    void Label(int column, int row, const QByteArray &text)
    {
        // Format 0xff: the worksheet's default; the apostrophe aligns the label left.
        record(0x000f, QByteArray(1, '\xff') + word(column) + word(row) + '\'' + text + '\0');
    }

    void Number(int column, int row, double value, int decimals)
    {
        QByteArray bytes(8, '\0');
        std::memcpy(bytes.data(), &value, sizeof value); // IEEE double, little-endian like the rest
        record(0x000e, QByteArray(1, static_cast<char>(decimals & 0x0f)) + word(column) + word(row) + bytes);
    }

    QByteArray Finish()
    {
        record(0x0001, {}); // end of file
        return bytes_;
    }

private:
    static QByteArray word(int value)
    {
        QByteArray bytes(2, '\0');
        bytes[0] = static_cast<char>(value & 0xff);
        bytes[1] = static_cast<char>((value >> 8) & 0xff);
        return bytes;
    }

    void record(int opcode, const QByteArray &body)
    {
        bytes_ += word(opcode) + word(static_cast<int>(body.size())) + body;
    }

    QByteArray bytes_;
};

QByteArray mileageWorksheet()
{
    static_assert(sizeof(double) == 8);
    LotusWriter w;
    const int widths[] = {10, 16, 16, 22, 8};
    for (int column = 0; column < 5; ++column)
        w.ColumnWidth(column, widths[column]);
    w.Label(0, 0, "MILEAGE LOG - [vehicle]");
    const char *headings[] = {"Date", "From", "To", "Purpose", "Miles"};
    for (int column = 0; column < 5; ++column)
        w.Label(column, 2, headings[column]);
    struct Trip
    {
        const char *date, *from, *to, *purpose;
        double miles;
    };
    const Trip trips[] = {{"[01/03]", "[Home]", "[Office]", "[Meeting]", 14.5},
                          {"[02/03]", "[Office]", "[Warehouse]", "[Delivery]", 23.0}};
    int row = 3;
    for (const Trip &trip : trips) {
        w.Label(0, row, trip.date);
        w.Label(1, row, trip.from);
        w.Label(2, row, trip.to);
        w.Label(3, row, trip.purpose);
        w.Number(4, row, trip.miles, 1);
        ++row;
    }
    return w.Finish();
}

} // namespace

namespace SampleTemplates {

QList<File> Files()
{
    return {
        {QStringLiteral("Address Book.mdb"), QByteArray(AddressBookNote)},
        {QStringLiteral("Fax Cover Sheet.doc"), QByteArray(FaxRtf)},
        {QStringLiteral("Household Budget.xls"), budgetWorkbook()},
        {QStringLiteral("Letter.doc"), QByteArray(LetterRtf)},
        {QStringLiteral("Mileage Log.wks"), mileageWorksheet()},
        {QStringLiteral("Recipe Card.wps"), QByteArray(RecipeRtf)},
    };
}

} // namespace SampleTemplates
