#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

// Helpers shared by the fuzz programs.
namespace fuzz {

// The input as a QByteArray without a copy; valid for the current call only.
QByteArray bytesOf(const uint8_t *data, size_t size);

// A file of this process holding exactly `bytes`.  The same name gives the
// same path on every call, so a run creates no pile of files.
QString scratchFile(const QByteArray &bytes, const QString &name = QStringLiteral("input"));
// The path of a scratch file without writing it; the file is removed.
QString freshScratchPath(const QString &name);
QByteArray fileBytes(const QString &path);

// Reports a broken promise of the code under test and aborts, so that
// libFuzzer keeps the input as a crash.
[[noreturn]] void fail(const char *condition, const char *file, int line);

} // namespace fuzz

#define FUZZ_CHECK(condition) \
    ((condition) ? void(0) : fuzz::fail(#condition, __FILE__, __LINE__))
