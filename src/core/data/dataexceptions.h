#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

// Errors of the collection model.  Each carries a message text meant for the
// user; the three classes are unrelated so that a handler can tell a format
// error (EData) from a failure to read (EDataRead) or write (EDataWrite) the
// collection file.
class TMessageException : public std::exception {
public:
    explicit TMessageException(const QString &message);

    const QString &Message() const noexcept { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

class EData : public TMessageException {
public:
    using TMessageException::TMessageException;
};

class EDataRead : public TMessageException {
public:
    using TMessageException::TMessageException;
};

class EDataWrite : public TMessageException {
public:
    using TMessageException::TMessageException;
};
