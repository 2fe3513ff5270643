#include "WavWriter.h"

#include "EDiscError.h"

namespace {

void putLong(QByteArray &out, quint32 value)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.append(static_cast<char>((value >> shift) & 0xff));
}

void putWord(QByteArray &out, quint16 value)
{
    out.append(static_cast<char>(value & 0xff));
    out.append(static_cast<char>(value >> 8));
}

} // namespace

QByteArray WavWriter::Encode(const QList<qint16> &samples, int sampleRate, int channels)
{
    if (channels < 1 || channels > 2 || sampleRate < 1 || samples.size() % channels != 0)
        throw EDiscError(QStringLiteral("a sound needs one or two channels, a sample rate and whole frames"));
    constexpr int BytesPerSample = 2;
    const quint32 dataSize = static_cast<quint32>(samples.size() * BytesPerSample);

    QByteArray out;
    out.reserve(44 + dataSize);
    out.append("RIFF");
    putLong(out, 36 + dataSize);
    out.append("WAVE");
    out.append("fmt ");
    putLong(out, 16);
    putWord(out, 1); // PCM
    putWord(out, static_cast<quint16>(channels));
    putLong(out, static_cast<quint32>(sampleRate));
    putLong(out, static_cast<quint32>(sampleRate * channels * BytesPerSample));
    putWord(out, static_cast<quint16>(channels * BytesPerSample));
    putWord(out, 16);
    out.append("data");
    putLong(out, dataSize);
    for (const qint16 sample : samples)
        putWord(out, static_cast<quint16>(sample));
    return out;
}
