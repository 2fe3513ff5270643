#pragma once

#include <QByteArray>
#include <QList>

// Writes sound as a RIFF WAVE file of 16-bit PCM samples.
class WavWriter
{
public:
    // The WAVE file for interleaved samples of the given channel count and sample rate.
    static QByteArray Encode(const QList<qint16> &samples, int sampleRate, int channels = 1);
};
