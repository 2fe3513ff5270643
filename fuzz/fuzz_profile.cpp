#include "FuzzSupport.h"

#include "platform/ProfileFile.h"

// Any settings-file content can be searched and written to: a stored value reads back as stored,
// and the other entries keep their values.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray content = Bytes(data, size);
    const QString section = QStringLiteral("Template");
    const QString before =
        ProfileFile::ValueIn(content, section, QStringLiteral("Letter.doc"), QStringLiteral("ERROR"));
    if (before.size() > ProfileFile::MaxValueLength)
        std::abort();
    const QString value = QStringLiteral("/home/user/BrindlePC/CD-ROM7/");
    const auto written = ProfileFile::WithValue(content, section, QStringLiteral("Budget.XLS"), value);
    if (!written)
        std::abort();
    if (ProfileFile::ValueIn(*written, section, QStringLiteral("budget.xls"), QStringLiteral("ERROR")) != value)
        std::abort();
    if (ProfileFile::ValueIn(*written, section, QStringLiteral("Letter.doc"), QStringLiteral("ERROR")) != before)
        std::abort();
    return 0;
}
