#pragma once

#include "toolkit/Exceptions.h"

#include <QString>
#include <QStringList>

#include <utility>

// A disc that cannot be mastered or inspected as asked; the message says why, and the details,
// one a line, what it holds that is at fault.
class EDiscError : public Exception
{
public:
    using Exception::Exception;
    EDiscError(const QString &message, QStringList details) : Exception(message), details_(std::move(details)) {}

    const QStringList &Details() const { return details_; }

private:
    QStringList details_;
};
