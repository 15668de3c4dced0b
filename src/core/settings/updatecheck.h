#pragma once

#include "core/base/daynumber.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>
#include <QUrl>

class TSettingsStore;

// The pieces of the update check that need no network: reading the version
// information document, judging it against this program's version, and the
// rule that decides when the automatic check runs.
namespace updatecheck {

enum Result { NotRetrieved = 0, UpToDate = 1, NewerVersion = 2, NewerBuild = 3 };

// The document is read at most this far; anything longer is no version
// information document.
constexpr qint64 MaxDocumentSize = 64 * 1024;
constexpr int TimeoutMs = 10000;
constexpr int MaxRedirects = 3;

// Path of the document below the update server's base address.
inline const char *const DocumentPath = "mp3/versioninfo.txt";

// The settings value that overrides the built-in base address.
inline const char *const BaseUrlSection = "Settings";
inline const char *const BaseUrlValue = "UpdateURL";

// The document's lines ("Name=Value"), without line ends.
QStringList SplitLines(const QByteArray &body);
// The value of the first line whose name matches (case-insensitively),
// trimmed; empty when there is none.
QString ValueOf(const QStringList &lines, const QString &name);

// Judges a retrieved document.  Any difference in the version text means a
// newer version, else any difference in the build a newer build.  A document
// without "LatestVersion" (an empty body, or a login page of a public
// network) was not a version document: not retrieved.
Result Judge(const QStringList &lines, const QString &version, const QString &build);

// The automatic check runs unless it is switched off (-1) or fewer days than
// configured have passed since the last check (0 checks at every start).
bool IsAutoCheckDue(int nrDaysBetweenChecks, double lastCheck, double today);

// The document's address: the base address from the settings when set,
// otherwise the built-in one, followed by the document path.
QUrl DocumentUrl(const QString &baseUrl);
QString BaseUrl(const TSettingsStore &store, const QString &builtInBaseUrl);

} // namespace updatecheck
