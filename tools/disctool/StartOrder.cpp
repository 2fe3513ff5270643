// SPDX-License-Identifier: GPL-2.0-or-later
#include "StartOrder.h"

#include "DiscChecker.h"
#include "EDiscError.h"
#include "ImageReader.h"

#include "app/GlobalsU.h"
#include "toolkit/Exceptions.h"

#include <QFile>

#include <algorithm>

namespace {

const QString ListPath = QStringLiteral(":/disctool/start-order.txt");
const QString ProgramPlaceholder = QStringLiteral("{program}");
const QString SchemePlaceholder = QStringLiteral("{scheme}");

QString megabytes(qint64 bytes)
{
    return QStringLiteral("%1 MB").arg(double(bytes) / 1e6, 0, 'f', 1);
}

} // namespace

QStringList StartOrder::Listed(const QString &system)
{
    QFile file(ListPath);
    file.open(QIODevice::ReadOnly);
    QStringList lines;
    bool inSection = false;
    for (const QByteArray &raw : file.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('[')))
            inSection = line == QLatin1Char('[') + system + QLatin1Char(']');
        else if (inSection)
            lines.append(line);
    }
    return lines;
}

StartOrder::StartOrder(const DiscTree &disc) : disc_(disc)
{
    const QStringList programs = DiscChecker::Programs(disc);
    for (const QString &system : {QStringLiteral("linux"), QStringLiteral("windows")}) {
        // The system's program, told by its first bytes as the systems tell them.
        const QByteArray magic = system == QStringLiteral("linux") ? QByteArrayLiteral("\x7f"
                                                                                       "ELF")
                                                                   : QByteArrayLiteral("MZ");
        const auto program = std::find_if(programs.cbegin(), programs.cend(), [&](const QString &name) {
            try {
                return disc.Read(*disc.Find(name), 0, magic.size()) == magic;
            } catch (const EDiscError &) {
                return false;
            }
        });
        if (program == programs.cend())
            continue;
        QString scheme;
        try {
            scheme = QString::fromLatin1(GlobalsU::ColourFolders[std::size_t(GlobalsU::DigitsToNumber(*program) % 4)])
                         .chopped(1);
        } catch (const EConvertError &) {
            // A number the menu cannot read has no scheme: its backdrop is not looked for.
        }
        for (QString path : Listed(system)) {
            path.replace(ProgramPlaceholder, *program);
            if (path.contains(SchemePlaceholder) && scheme.isEmpty())
                continue;
            add(path.replace(SchemePlaceholder, scheme));
        }
    }
}

void StartOrder::add(const QString &path)
{
    const DiscTree::Entry *entry = disc_.Find(path);
    // A link holds no data of its own; what it leads to lies wherever its own name puts it.
    if (!entry || entry->kind != DiscTree::Kind::File || rank_.contains(entry))
        return;
    rank_.insert(entry, int(files_.size()));
    files_.push_back(entry);
}

int StartOrder::Weight(const DiscTree::Entry &file) const
{
    const auto found = rank_.constFind(&file);
    return found == rank_.cend() ? 0 : int(files_.size()) - *found;
}

QList<DiscChecker::Finding> StartOrder::Apart(const ImageReader &image)
{
    const StartOrder order(image);
    int places = 0;
    qint64 apart = 0;
    qint64 widest = 0;
    const DiscTree::Entry *before = nullptr;
    const DiscTree::Entry *after = nullptr;
    std::optional<qint64> end;
    const DiscTree::Entry *previous = nullptr;
    for (const DiscTree::Entry *file : order.Files()) {
        const std::optional<qint64> start = image.Offset(*file);
        if (!start)
            continue;
        const qint64 gap = end ? std::abs(*start - *end) : 0;
        if (!end || gap > ReadThrough) {
            ++places;
            apart += gap;
            if (gap > widest) {
                widest = gap;
                before = previous;
                after = file;
            }
        }
        // Files take whole blocks of the image.
        end = *start + (file->size + 2047) / 2048 * 2048;
        previous = file;
    }
    if (places <= 1)
        return {};
    return {{false, DiscTree::PathOf(*after),
             QStringLiteral("the %1 files a start reads lie in %2 places on the disc, %3 apart in all; the "
                            "widest gap, %4, is before this file, read after %5: a drive seeks between them "
                            "(brindle-disc image lays them out together)")
                 .arg(order.Files().size())
                 .arg(places)
                 .arg(megabytes(apart), megabytes(widest), DiscTree::PathOf(*before))}};
}
