#include "toolkit/Dispatch.h"

#include "platform/ErrorBox.h"
#include "toolkit/Exceptions.h"

#include <exception>

void Dispatch::ReportCurrentError() noexcept
{
    try {
        QString message;
        try {
            throw;
        } catch (const Exception &e) {
            message = e.Message();
        } catch (const std::exception &e) {
            message = QString::fromLocal8Bit(e.what());
        } catch (...) {
            message = QStringLiteral("Unknown error");
        }
        ErrorBox::Show(message);
    } catch (...) {
        // The box itself failed (out of memory): nothing more can be shown.
    }
}
