#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>

// File names on Linux are bytes, and most of them are UTF-8 text; but a
// name copied from an old disk or a Windows share may hold bytes that are
// not (a Latin-1 "caf\xE9.mp3").  Qt decodes such names with replacement
// characters and can then no longer open them.  The program keeps every
// path as text in which each byte that is not part of valid UTF-8 stands
// as one unpaired low surrogate, U+DC80 to U+DCFF (the byte plus 0xDC00).
// Valid UTF-8 never decodes to an unpaired surrogate, so the bytes come
// back exactly; a name that is valid UTF-8 is the text Qt would make.

// The bytes the system knows the path by.
QByteArray LocalPathBytes(QStringView path);

// The path of the bytes the system gave (a folder entry, a command line
// argument, a line of a playlist).
QString PathFromLocalBytes(QByteArrayView bytes);

// Whether the path holds bytes that are not UTF-8: Qt's own file classes
// cannot open or list it.
bool HasForeignBytes(QStringView path);

// The path as text to show or to write where only text can go: each byte
// that is not UTF-8 becomes the replacement character U+FFFD.
QString ReadablePath(const QString &path);

// The path an edit box names that was filled with ReadablePath(original):
// the original, bytes and all, while the box still shows it; else the text
// typed.
QString PathShownIn(const QString &shown, const QString &original);

// A "file://" address of an absolute path, percent escapes keeping every
// byte: the form in which players and the desktop take any file name.
QString LocalFileUrl(const QString &absolutePath);

// The program's arguments after its name, each decoded as a path: a file
// name that is not UTF-8 keeps its bytes (QCoreApplication::arguments()
// replaces them).  After the application object has taken its own options.
QStringList ArgumentsFromLocalBytes(int argc, const char *const *argv);
