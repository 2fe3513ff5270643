#include "FuzzSupport.h"

#include "toolkit/Exceptions.h"
#include "toolkit/ImageList.h"
#include "toolkit/ImageListStream.h"

#include <QPainter>

// Any bytes either rebuild a list whose pictures can all be drawn or end in the fixed error,
// leaving the list as it was.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    EnsureApplication();
    TImageList list(214, 81);
    try {
        ImageListStream::Read(Bytes(data, size), list);
    } catch (const Exception &e) {
        if (e.Message() != QLatin1String("Failed to read ImageList data from stream") || list.Count() != 0)
            std::abort();
        return 0;
    }
    QImage canvas(list.Width(), list.Height(), QImage::Format_RGB32);
    QPainter painter(&canvas);
    for (int i = -1; i <= list.Count(); ++i)
        list.Draw(painter, 0, 0, i);
    return 0;
}
