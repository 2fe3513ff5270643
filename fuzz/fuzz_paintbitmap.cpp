#include "FuzzSupport.h"

#include "app/GlobalsU.h"
#include "toolkit/Exceptions.h"
#include "toolkit/Image.h"

#include <QFile>
#include <QTemporaryDir>

// A bitmap file of any content either paints the picture's top-left corner or fails with one of
// the two fixed errors, leaving the picture unchanged.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    EnsureApplication();
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("MainBack.bmp"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        file.write(Bytes(data, size));
    }
    TImage image;
    image.resize(64, 48);
    QImage before(64, 48, QImage::Format_RGB32);
    before.fill(Qt::blue);
    image.SetPicture(before);
    try {
        GlobalsU::PaintBitmapFile(image, path);
        if (image.Picture().size() != before.size())
            std::abort();
    } catch (const Exception &e) {
        if (e.Message() != QLatin1String("Bitmap image is not valid") || image.Picture() != before)
            std::abort();
    }
    return 0;
}
