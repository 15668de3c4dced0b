#pragma once

#include <QByteArray>
#include <QString>

class QIODevice;

// Writes all of bytes.  A file write can take only part of the bytes (the
// disk filled up or the file reached its size limit) without reporting an
// error; the rest is tried again, which either goes through or fails with
// the device's error set.  False when not everything was written.
bool writeAll(QIODevice &device, const QByteArray &bytes);

// Why writing to device failed, in the system's words ("No space left on
// device").  A write a full disk or a file size limit cut short leaves no
// reason in Qt's device ("Unknown error"); the file and its file system
// then tell it.  Empty when no reason can be found.
QString writeErrorOf(const QIODevice &device);
