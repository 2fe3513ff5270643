#include "platform/ProfileFile.h"

#include <QList>

namespace {
bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r';
}

QByteArray trimmedBytes(const QByteArray &bytes)
{
    qsizetype first = 0;
    qsizetype last = bytes.size();
    while (first < last && isBlank(bytes.at(first)))
        ++first;
    while (last > first && isBlank(bytes.at(last - 1)))
        --last;
    return bytes.mid(first, last - first);
}

bool isQuoted(const QByteArray &bytes)
{
    return bytes.size() >= 2 && (bytes.front() == '"' || bytes.front() == '\'') && bytes.back() == bytes.front();
}

bool sameName(const QByteArray &stored, const QString &name)
{
    return QString::fromUtf8(stored).compare(name, Qt::CaseInsensitive) == 0;
}

// One line of the file as it was read (without its line feed), with what it declares.
struct Line
{
    enum Kind { Other, Section, Entry };

    QByteArray raw;
    Kind kind = Other;
    QByteArray name;  // section name or key, trimmed
    QByteArray value; // an entry's value, trimmed, quotes kept
    qsizetype valueStart = 0;
};

Line parseLine(const QByteArray &raw)
{
    Line line;
    line.raw = raw;
    const QByteArray text = trimmedBytes(raw);
    if (text.startsWith('[')) {
        const qsizetype close = text.indexOf(']');
        line.kind = Line::Section;
        line.name = trimmedBytes(text.mid(1, close < 0 ? -1 : close - 1));
        return line;
    }
    const qsizetype equals = raw.indexOf('=');
    if (equals < 0)
        return line;
    line.kind = Line::Entry;
    line.name = trimmedBytes(raw.left(equals));
    line.value = trimmedBytes(raw.mid(equals + 1));
    line.valueStart = equals + 1;
    return line;
}

struct Document
{
    QList<Line> lines;
    bool endsWithNewline = true;
    QByteArray newline = "\n";
};

Document parse(const QByteArray &content)
{
    Document document;
    if (content.isEmpty())
        return document;
    QList<QByteArray> raws = content.split('\n');
    document.endsWithNewline = content.endsWith('\n');
    if (document.endsWithNewline)
        raws.removeLast();
    if (!raws.isEmpty() && raws.front().endsWith('\r'))
        document.newline = "\r\n";
    document.lines.reserve(raws.size());
    for (const QByteArray &raw : raws)
        document.lines.append(parseLine(raw));
    return document;
}

QByteArray serialise(const Document &document)
{
    QByteArray out;
    for (qsizetype i = 0; i < document.lines.size(); ++i) {
        out += document.lines.at(i).raw;
        if (i + 1 < document.lines.size() || document.endsWithNewline)
            out += '\n';
    }
    return out;
}

// The index of the first line of the first section called section; -1 when there is none.
qsizetype findSection(const Document &document, const QString &section)
{
    for (qsizetype i = 0; i < document.lines.size(); ++i) {
        const Line &line = document.lines.at(i);
        if (line.kind == Line::Section && sameName(line.name, section))
            return i;
    }
    return -1;
}

bool hasLineBreak(const QString &text)
{
    return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r')) || text.contains(QChar(0));
}

// The value as it is written: quoted when reading would otherwise drop its surrounding blanks or quotes.
QByteArray storedValue(const QString &value)
{
    const QByteArray bytes = value.toUtf8();
    if (trimmedBytes(bytes) != bytes || isQuoted(bytes))
        return '"' + bytes + '"';
    return bytes;
}

} // namespace

bool ProfileFile::CanStore(const QString &section, const QString &key, const QString &value)
{
    const QString trimmedSection = section.trimmed();
    const QString trimmedKey = key.trimmed();
    if (trimmedSection.isEmpty() || hasLineBreak(section) || section.contains(QLatin1Char(']')))
        return false;
    if (trimmedKey.isEmpty() || hasLineBreak(key) || key.contains(QLatin1Char('=')) ||
        trimmedKey.startsWith(QLatin1Char('[')))
        return false;
    return !hasLineBreak(value);
}

bool ProfileFile::CanHoldKey(const QString &key)
{
    if (key.isEmpty() || key.trimmed() != key || hasLineBreak(key) || key.contains(QLatin1Char('=')))
        return false;
    return !key.startsWith(QLatin1Char('[')) && !key.startsWith(QLatin1Char(';'));
}

QString ProfileFile::ValueIn(const QByteArray &content, const QString &section, const QString &key,
                             const QString &defaultValue)
{
    const Document document = parse(content);
    const qsizetype start = findSection(document, section.trimmed());
    if (start < 0)
        return defaultValue;
    const QString wanted = key.trimmed();
    for (qsizetype i = start + 1; i < document.lines.size(); ++i) {
        const Line &line = document.lines.at(i);
        if (line.kind == Line::Section)
            break;
        if (line.kind != Line::Entry || !sameName(line.name, wanted))
            continue;
        const QByteArray bytes = isQuoted(line.value) ? line.value.mid(1, line.value.size() - 2) : line.value;
        QString value = QString::fromUtf8(bytes);
        if (value.size() > MaxValueLength) {
            value.truncate(MaxValueLength);
            if (value.back().isHighSurrogate())
                value.chop(1);
        }
        return value;
    }
    return defaultValue;
}

std::optional<QByteArray> ProfileFile::WithValue(const QByteArray &content, const QString &section, const QString &key,
                                                 const QString &value)
{
    if (!CanStore(section, key, value))
        return std::nullopt;
    Document document = parse(content);
    const QString wantedKey = key.trimmed();
    const QByteArray entry = wantedKey.toUtf8() + '=' + storedValue(value);
    const bool crlf = document.newline == "\r\n";
    const auto withEnding = [crlf](const QByteArray &text) { return crlf ? text + '\r' : text; };

    const qsizetype start = findSection(document, section.trimmed());
    if (start < 0) {
        if (!document.lines.isEmpty() && !trimmedBytes(document.lines.back().raw).isEmpty())
            document.lines.append(parseLine(withEnding({})));
        document.lines.append(parseLine(withEnding('[' + section.trimmed().toUtf8() + ']')));
        document.lines.append(parseLine(withEnding(entry)));
        document.endsWithNewline = true;
        return serialise(document);
    }

    qsizetype lastContent = start;
    for (qsizetype i = start + 1; i < document.lines.size(); ++i) {
        Line &line = document.lines[i];
        if (line.kind == Line::Section)
            break;
        if (line.kind == Line::Entry && sameName(line.name, wantedKey)) {
            // The key keeps its spelling and the line its ending; only the value changes.
            const QByteArray kept = line.raw.left(line.valueStart);
            line = parseLine(withEnding(kept + storedValue(value)));
            return serialise(document);
        }
        if (!trimmedBytes(line.raw).isEmpty())
            lastContent = i;
    }
    // A new key goes after the section's last line, before the blank lines that part it from the next.
    document.lines.insert(lastContent + 1, parseLine(withEnding(entry)));
    if (lastContent + 1 == document.lines.size() - 1)
        document.endsWithNewline = true;
    return serialise(document);
}
