#pragma once
// Failures of the platform layer. Every one carries the text the user reads in the
// standard error box; the handler guard (guard.h) shows it and ends the handler.
#include <QString>
#include <exception>
#include <utility>

namespace plat {

class LayerError : public std::exception {
public:
    explicit LayerError(QString text) : text_(std::move(text)), utf8_(text_.toUtf8()) {}
    const QString& text() const noexcept { return text_; }
    const char* what() const noexcept override { return utf8_.constData(); }

private:
    QString text_;
    QByteArray utf8_;
};

// A text-file read or write, a directory or copy that failed where the caller must stop.
// code: the system's errno value when one is known (ENOSPC for a full disk), else 0.
class FileError : public LayerError {
public:
    explicit FileError(QString text, int code = 0) : LayerError(std::move(text)), code_(code) {}
    int code() const noexcept { return code_; }
    // Whether the failure means the disk (or the user's quota on it) is full.
    bool diskFull() const noexcept;

private:
    int code_;
};

// A number conversion of a text that is no whole number.
class ConvertError : public LayerError {
public:
    using LayerError::LayerError;
};

// The database engine (db/).
class DbError : public LayerError {
public:
    using LayerError::LayerError;
};

// The socket layer (net/).
class SocketError : public LayerError {
public:
    SocketError(QString text, int code) : LayerError(std::move(text)), code_(code) {}
    int code() const noexcept { return code_; }

private:
    int code_;
};

// The classic string-to-integer conversion: optional blanks are not allowed, an optional
// sign, decimal digits (or $hex), within 32 bits. Throws ConvertError
// "'10x' is not a valid integer value".
int strToInt(const QString& text);

}  // namespace plat
