#pragma once

#include "core/audio/infosources.h"

#include <QList>
#include <QString>
#include <QtGlobal>

class TID3v1Tag;
class TID3v2Tag;

// Values to put into a file's tags, by merged field, in the order they were
// given (a field given twice takes the later value).  A field not named
// keeps what the tag holds; a value given empty clears the field.  The
// ID3v1 tag takes only the fields it has room for.
class TTagValues {
public:
    // A text field's text or a number field's number; the other is unused.
    void Set(TMergedField field, const QString &text, qint32 number = 0);
    bool IsEmpty() const { return m_values.isEmpty(); }

    void PutInto(TID3v2Tag &tag) const;
    // The comment is cut to the 30 characters the tag holds (the writer
    // cuts the other texts to their slots as well).
    void PutInto(TID3v1Tag &tag) const;

private:
    struct TValue {
        TMergedField Field;
        QString Text;
        qint32 Number = 0;
    };
    QList<TValue> m_values;
};
