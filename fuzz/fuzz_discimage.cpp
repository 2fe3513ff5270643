#include "FuzzSupport.h"

#include "DiscChecker.h"
#include "EDiscError.h"
#include "ImageReader.h"

#include <QTemporaryFile>

// Any file handed to the check as a disc image ends in findings or a refusal, within the reading
// process's time limit, without reading outside its bytes; every finding names a path.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    EnsureApplication();
    static QTemporaryFile *image = [] {
        auto *file = new QTemporaryFile;
        file->open();
        return file;
    }();
    image->resize(0);
    image->seek(0);
    image->write(reinterpret_cast<const char *>(data), static_cast<qint64>(size));
    image->flush();
    try {
        const ImageReader reader(image->fileName());
        const QList<DiscChecker::Finding> findings = DiscChecker(reader).Check(reader.Findings());
        for (const DiscChecker::Finding &finding : findings) {
            if (finding.path.isEmpty() || finding.what.isEmpty())
                std::abort();
        }
    } catch (const EDiscError &) {
        // A refusal with its reason is a fine answer to a damaged image.
    }
    return 0;
}
