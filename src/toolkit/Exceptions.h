#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

// The program's error family: every failure carries the fixed English message the user is shown.
class Exception : public std::exception
{
public:
    explicit Exception(QString message);

    const QString &Message() const noexcept { return message_; }
    const char *what() const noexcept override { return utf8_.constData(); }

private:
    QString message_;
    QByteArray utf8_;
};

// A file that cannot be opened: "Cannot open file %s".
class EFOpenError : public Exception
{
public:
    explicit EFOpenError(const QString &fileName);
};

// Data that is not a valid Windows bitmap: "Bitmap image is not valid".
class EInvalidGraphic : public Exception
{
public:
    EInvalidGraphic();
};

// The settings file cannot be written: "Unable to write to %s".
class EIniFileException : public Exception
{
public:
    explicit EIniFileException(const QString &fileName);
};

// A digit run that does not fit a signed 32-bit integer: "'%s' is not a valid integer value".
class EConvertError : public Exception
{
public:
    explicit EConvertError(const QString &digits);
};

// An installer this system cannot start, with the reason.
class EInstallerError : public Exception
{
public:
    using Exception::Exception;
};

// A folder that cannot be listed or another input/output failure.
class EInOutError : public Exception
{
public:
    using Exception::Exception;
};

// A stored stream that cannot be rebuilt into an object.
class EReadError : public Exception
{
public:
    using Exception::Exception;
};
