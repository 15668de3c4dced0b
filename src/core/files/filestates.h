#pragma once

#include <QHash>
#include <QString>
#include <QtGlobal>

// Size and modification time of files as they were when last read: what
// lets a rescan pass over the files that have not changed since.  Lookups
// may run on several threads at once while nothing is inserted.
class TFileStates {
public:
    void insert(const QString &path, qint64 size, qint64 modifiedMs);
    int count() const { return int(m_states.size()); }
    bool isEmpty() const { return m_states.isEmpty(); }

    // True when the file at path has exactly the recorded size and
    // modification time; size and modifiedMs then hold them.  Files not
    // recorded are never unchanged (and not looked at on disk).
    bool isUnchanged(const QString &path, qint64 &size, qint64 &modifiedMs) const;

private:
    struct State {
        qint64 size = 0;
        qint64 modifiedMs = 0;
    };
    QHash<QString, State> m_states;
};
