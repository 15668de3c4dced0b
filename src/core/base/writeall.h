#pragma once

#include <QByteArray>

class QIODevice;

// Writes all of bytes.  A file write can take only part of the bytes (the
// disk filled up or the file reached its size limit) without reporting an
// error; the rest is tried again, which either goes through or fails with
// the device's error set.  False when not everything was written.
bool writeAll(QIODevice &device, const QByteArray &bytes);
