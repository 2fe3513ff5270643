#include "FuzzSupport.h"

#include "toolkit/Exceptions.h"
#include "toolkit/PictureData.h"

// Any bytes either give a picture or end in the reader's fixed error.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    EnsureApplication();
    try {
        const QImage image = PictureData::Read(Bytes(data, size));
        if (image.isNull())
            std::abort();
    } catch (const Exception &e) {
        if (e.Message() != QLatin1String("Stream read error") &&
            e.Message() != QLatin1String("Bitmap image is not valid"))
            std::abort();
    }
    return 0;
}
