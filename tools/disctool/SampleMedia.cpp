#include "SampleMedia.h"

#include "GifWriter.h"
#include "WavWriter.h"

#include <QImage>
#include <QPainter>
#include <QPolygon>

#include <cmath>
#include <numbers>

namespace {

constexpr int SampleRate = 22050;

// Clip art is drawn without anti-aliasing so that it keeps a handful of flat colours, as GIF
// clip art does.
QImage canvas(int width, int height, const QColor &background)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(background);
    return image;
}

QImage sun()
{
    QImage image = canvas(96, 96, QColor(168, 216, 255));
    QPainter p(&image);
    p.setPen(QPen(QColor(255, 160, 0), 4));
    for (int ray = 0; ray < 12; ++ray) {
        const double angle = ray * std::numbers::pi / 6;
        p.drawLine(QPointF(48 + 26 * std::cos(angle), 48 + 26 * std::sin(angle)),
                   QPointF(48 + 44 * std::cos(angle), 48 + 44 * std::sin(angle)));
    }
    p.setPen(QPen(QColor(230, 120, 0), 2));
    p.setBrush(QColor(255, 220, 0));
    p.drawEllipse(QPoint(48, 48), 22, 22);
    p.setBrush(QColor(60, 40, 0));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPoint(40, 43), 3, 3);
    p.drawEllipse(QPoint(56, 43), 3, 3);
    p.setPen(QPen(QColor(60, 40, 0), 2));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRect(36, 42, 24, 16), 200 * 16, 140 * 16);
    return image;
}

QImage house()
{
    QImage image = canvas(112, 96, QColor(200, 232, 255));
    QPainter p(&image);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(96, 176, 64));
    p.drawRect(0, 78, 112, 18);
    p.setBrush(QColor(236, 220, 180));
    p.drawRect(22, 44, 68, 40);
    p.setBrush(QColor(176, 48, 32));
    p.drawPolygon(QPolygon({QPoint(14, 46), QPoint(56, 12), QPoint(98, 46)}));
    p.drawRect(72, 18, 10, 20);
    p.setBrush(QColor(120, 72, 32));
    p.drawRect(49, 58, 14, 26);
    p.setBrush(QColor(120, 176, 232));
    p.setPen(QPen(Qt::white, 2));
    p.drawRect(29, 54, 14, 12);
    p.drawRect(69, 54, 14, 12);
    return image;
}

QImage flower()
{
    QImage image = canvas(80, 112, QColor(255, 250, 232));
    QPainter p(&image);
    p.setPen(QPen(QColor(40, 140, 40), 4));
    p.drawLine(40, 48, 40, 108);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(64, 168, 56));
    p.drawEllipse(QRect(40, 70, 24, 12));
    p.drawEllipse(QRect(16, 82, 24, 12));
    p.setBrush(QColor(232, 64, 128));
    for (int petal = 0; petal < 8; ++petal) {
        const double angle = petal * std::numbers::pi / 4;
        p.drawEllipse(QPointF(40 + 18 * std::cos(angle), 36 + 18 * std::sin(angle)), 10, 10);
    }
    p.setBrush(QColor(255, 208, 32));
    p.drawEllipse(QPoint(40, 36), 11, 11);
    return image;
}

QImage balloons()
{
    QImage image = canvas(96, 120, QColor(232, 244, 255));
    QPainter p(&image);
    const struct
    {
        QPoint centre;
        QColor colour;
    } balloon[] = {{{30, 34}, QColor(224, 32, 32)}, {{64, 28}, QColor(32, 96, 224)}, {{48, 54}, QColor(248, 200, 0)}};
    for (const auto &b : balloon) {
        p.setPen(QPen(QColor(80, 80, 80), 1));
        p.drawLine(b.centre + QPoint(0, 22), QPoint(48, 112));
        p.setPen(Qt::NoPen);
        p.setBrush(b.colour);
        p.drawEllipse(b.centre, 17, 22);
        p.setBrush(b.colour.lighter(160));
        p.drawEllipse(b.centre + QPoint(-7, -9), 4, 6);
    }
    return image;
}

// A sine tone with a few harmonics under an exponential decay, added into samples from start.
void addTone(QList<double> &samples, double start, double seconds, double frequency, double decay)
{
    const qsizetype first = static_cast<qsizetype>(start * SampleRate);
    const qsizetype count = static_cast<qsizetype>(seconds * SampleRate);
    if (samples.size() < first + count)
        samples.resize(first + count, 0.0);
    for (qsizetype i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / SampleRate;
        const double attack = std::min(1.0, t / 0.005);
        const double envelope = attack * std::exp(-decay * t);
        const double w = 2 * std::numbers::pi * frequency * t;
        samples[first + i] += envelope * (std::sin(w) + 0.3 * std::sin(2 * w) + 0.1 * std::sin(3 * w));
    }
}

QByteArray toWave(const QList<double> &samples)
{
    double peak = 0;
    for (const double s : samples)
        peak = std::max(peak, std::abs(s));
    const double scale = peak > 0 ? 0.8 * 32767 / peak : 0;
    QList<qint16> pcm;
    pcm.reserve(samples.size());
    for (const double s : samples)
        pcm.append(static_cast<qint16>(std::lround(s * scale)));
    return WavWriter::Encode(pcm, SampleRate);
}

QByteArray chime()
{
    QList<double> samples;
    addTone(samples, 0.0, 1.2, 1046.5, 3.5);
    addTone(samples, 0.0, 1.2, 1568.0, 4.5);
    return toWave(samples);
}

QByteArray doorbell()
{
    QList<double> samples;
    addTone(samples, 0.0, 0.9, 659.3, 3.0);
    addTone(samples, 0.45, 1.1, 523.3, 3.0);
    return toWave(samples);
}

QByteArray fanfare()
{
    QList<double> samples;
    const double notes[] = {523.3, 659.3, 784.0, 1046.5};
    for (int i = 0; i < 4; ++i)
        addTone(samples, 0.14 * i, i == 3 ? 0.9 : 0.3, notes[i], i == 3 ? 2.5 : 6.0);
    return toWave(samples);
}

} // namespace

namespace SampleMedia {

QList<File> Pictures()
{
    return {
        {QStringLiteral("Balloons.gif"), GifWriter::Encode(balloons())},
        {QStringLiteral("Flower.gif"), GifWriter::Encode(flower())},
        {QStringLiteral("House.gif"), GifWriter::Encode(house())},
        {QStringLiteral("Sun.gif"), GifWriter::Encode(sun())},
    };
}

QList<File> Sounds()
{
    return {
        {QStringLiteral("Chime.wav"), chime()},
        {QStringLiteral("Doorbell.wav"), doorbell()},
        {QStringLiteral("Fanfare.wav"), fanfare()},
    };
}

} // namespace SampleMedia
