#include "Palette.h"

#include <QHash>

#include <algorithm>
#include <array>
#include <cmath>

namespace Palette {

namespace {

struct Entry
{
    QRgb colour;
    qint64 count;
};

struct Box
{
    QList<Entry> entries;

    int Channel(QRgb c, int channel) const { return channel == 0 ? qRed(c) : (channel == 1 ? qGreen(c) : qBlue(c)); }
    // The channel with the widest spread and that spread.
    std::pair<int, int> Widest() const
    {
        std::array<int, 3> low{255, 255, 255}, high{0, 0, 0};
        for (const Entry &e : entries)
            for (int ch = 0; ch < 3; ++ch) {
                low[ch] = std::min(low[ch], Channel(e.colour, ch));
                high[ch] = std::max(high[ch], Channel(e.colour, ch));
            }
        int best = 0;
        for (int ch = 1; ch < 3; ++ch)
            if (high[ch] - low[ch] > high[best] - low[best])
                best = ch;
        return {best, high[best] - low[best]};
    }
    QRgb Mean() const
    {
        double r = 0, g = 0, b = 0, n = 0;
        for (const Entry &e : entries) {
            r += qRed(e.colour) * double(e.count);
            g += qGreen(e.colour) * double(e.count);
            b += qBlue(e.colour) * double(e.count);
            n += double(e.count);
        }
        return qRgb(int(r / n + 0.5), int(g / n + 0.5), int(b / n + 0.5));
    }
};

} // namespace

QList<QRgb> For(const QList<QImage> &pictures, int size)
{
    QHash<QRgb, qint64> histogram;
    for (const QImage &picture : pictures) {
        const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
        for (int y = 0; y < rgb.height(); ++y) {
            const auto *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
            for (int x = 0; x < rgb.width(); ++x)
                ++histogram[line[x] | 0xFF000000u];
        }
    }
    Box all;
    for (auto it = histogram.cbegin(); it != histogram.cend(); ++it)
        all.entries.append({it.key(), it.value()});
    // Deterministic whatever the hash order.
    std::sort(all.entries.begin(), all.entries.end(),
              [](const Entry &a, const Entry &b) { return a.colour < b.colour; });
    QList<Box> boxes{all};
    while (boxes.size() < size) {
        // Split the box whose widest channel, weighted by its pixel count, is largest.
        int pick = -1;
        double score = 0;
        for (int i = 0; i < boxes.size(); ++i) {
            if (boxes[i].entries.size() < 2)
                continue;
            qint64 n = 0;
            for (const Entry &e : boxes[i].entries)
                n += e.count;
            const double s = boxes[i].Widest().second * std::sqrt(double(n));
            if (s > score) {
                score = s;
                pick = i;
            }
        }
        if (pick < 0)
            break;
        Box box = boxes.takeAt(pick);
        const int channel = box.Widest().first;
        std::sort(box.entries.begin(), box.entries.end(), [&](const Entry &a, const Entry &b) {
            const int ca = box.Channel(a.colour, channel), cb = box.Channel(b.colour, channel);
            return ca != cb ? ca < cb : a.colour < b.colour;
        });
        qint64 total = 0;
        for (const Entry &e : box.entries)
            total += e.count;
        qint64 running = 0;
        qsizetype cut = 1;
        for (qsizetype i = 0; i < box.entries.size() - 1; ++i) {
            running += box.entries[i].count;
            cut = i + 1;
            if (running * 2 >= total)
                break;
        }
        Box lower, upper;
        lower.entries = box.entries.mid(0, cut);
        upper.entries = box.entries.mid(cut);
        boxes.append(lower);
        boxes.append(upper);
    }
    QList<QRgb> palette;
    for (const Box &box : boxes)
        palette.append(box.Mean());
    std::sort(palette.begin(), palette.end());
    while (palette.size() < size)
        palette.append(qRgb(0, 0, 0));
    return palette;
}

QImage Reduce(const QImage &picture, const QList<QRgb> &palette)
{
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    QImage out(rgb.size(), QImage::Format_Indexed8);
    out.setColorTable(palette);
    QHash<QRgb, uchar> nearest;
    for (int y = 0; y < rgb.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        uchar *target = out.scanLine(y);
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb c = line[x] | 0xFF000000u;
            auto it = nearest.constFind(c);
            if (it == nearest.cend()) {
                int best = 0;
                long bestDistance = -1;
                for (int i = 0; i < palette.size(); ++i) {
                    const long dr = qRed(c) - qRed(palette[i]), dg = qGreen(c) - qGreen(palette[i]),
                               db = qBlue(c) - qBlue(palette[i]);
                    const long distance = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
                    if (bestDistance < 0 || distance < bestDistance) {
                        bestDistance = distance;
                        best = i;
                    }
                }
                it = nearest.insert(c, static_cast<uchar>(best));
            }
            target[x] = it.value();
        }
    }
    return out;
}

} // namespace Palette
