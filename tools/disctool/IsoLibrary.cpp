#include "IsoLibrary.h"

#include "EDiscError.h"

#include <QString>

#include <mutex>

namespace IsoLibrary {

void Start()
{
    static std::once_flag started;
    std::call_once(started, [] {
        if (iso_init() < 0)
            throw EDiscError(QStringLiteral("the ISO 9660 library cannot start"));
        char charset[] = "UTF-8";
        iso_set_local_charset(charset, 0);
        char never[] = "NEVER";
        char caller[] = "brindle-disc";
        iso_set_msgs_severities(never, never, caller);
    });
}

QString Describe(int code)
{
    return QString::fromUtf8(iso_error_to_msg(code));
}

} // namespace IsoLibrary
