#pragma once

#include <QByteArray>
#include <QString>

namespace testsupport {

// Writes bytes to a file, replacing it; returns false on failure.
bool writeFile(const QString &path, const QByteArray &bytes);
QByteArray readFile(const QString &path);

} // namespace testsupport
