#include "toolkit/Exceptions.h"

#include <utility>

Exception::Exception(QString message) : message_(std::move(message)), utf8_(message_.toUtf8()) {}

EFOpenError::EFOpenError(const QString &fileName) : Exception(QStringLiteral("Cannot open file %1").arg(fileName)) {}

EInvalidGraphic::EInvalidGraphic() : Exception(QStringLiteral("Bitmap image is not valid")) {}

EIniFileException::EIniFileException(const QString &fileName)
    : Exception(QStringLiteral("Unable to write to %1").arg(fileName))
{
}

EConvertError::EConvertError(const QString &digits)
    : Exception(QStringLiteral("'%1' is not a valid integer value").arg(digits))
{
}
