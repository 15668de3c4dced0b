#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

class QTextStream;

// Writes indented JSON keeping object members in the order they are written
// (QJsonObject would sort them by name, losing the record order).
class TJsonWriter {
public:
    explicit TJsonWriter(QTextStream &out);

    void beginObject();
    void endObject();
    void beginArray();
    void endArray();
    // The name of the next member of the current object.
    void key(const QString &name);
    void value(const QString &text);
    void value(qint64 number);
    void value(int number) { value(qint64(number)); }
    void value(bool flag);
    void value(const char *) = delete; // would otherwise be taken as a bool
    // Writes the final line end.
    void finish();

    // name and value as one member.
    template<typename T>
    void member(const QString &name, const T &v)
    {
        key(name);
        value(v);
    }

private:
    void beforeValue();
    void open(char bracket);
    void close(char bracket);
    void newLine();

    QTextStream &m_out;
    // Per open container: whether it holds an element yet.
    QList<bool> m_hasElements;
    bool m_afterKey = false;
};
