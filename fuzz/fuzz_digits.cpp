#include "FuzzSupport.h"

#include "app/GlobalsU.h"
#include "toolkit/Exceptions.h"

// Any program name gives a disc number from 0 to 2147483647 with its scheme, or the fixed
// invalid-integer error.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString name = QString::fromUtf8(Bytes(data, size));
    try {
        const DiscContext c = DiscContext::FromProgramPath(QStringLiteral("/media/cdrom/") + name);
        if (c.DiscNumber < 0 || c.ColourIndex != c.DiscNumber % 4 || !c.InterfaceFolder.startsWith(c.AppFolder))
            std::abort();
    } catch (const EConvertError &e) {
        if (!e.Message().endsWith(QLatin1String("' is not a valid integer value")))
            std::abort();
    }
    return 0;
}
