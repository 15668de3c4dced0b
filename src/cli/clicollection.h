#pragma once

#include "core/data/datalists.h"

#include <QString>
#include <QStringList>

class QTextStream;
class TColumnFieldRefList;
class TDataField;
struct TCollectionLoadResult;
class TGlobalDataFieldList;
class TRootItem;

// The exit code of a command that showed what it could read of a damaged
// collection: not a success (part of the collection is missing from what
// was shown), but not a plain failure either.
constexpr int ExitRecovered = 3;

// Opens a collection file named on the command line.  Complaints (no such
// file, damaged data) go to err prefixed "tunebase-cli: "; a collection
// recovered from damaged data opens with a warning, and sets *recovered.
bool openCollectionArg(TRootItem &root, const QString &path, QTextStream &err, bool *recovered = nullptr);

// Opens a collection file whose contents a command shows.  Why the file
// cannot be opened goes to err, and so does the note that it was recovered
// from damaged data or converted from an older format (it opens then),
// worded for the command line.  False when there is nothing to show.
bool openCollectionToShow(TRootItem &root, const QString &path, QTextStream &err,
                          TCollectionLoadResult &result);

// The exit code of a command that showed a collection opened as result
// says: ExitRecovered for a damaged one, else 0.
int shownExitCode(const TCollectionLoadResult &result);

// The field named name (display or default name; letter case and blanks do
// not matter) that lists of listKind may show; nullptr when there is none.
const TDataField *findFieldByName(const TGlobalDataFieldList &catalogue, const QString &name, int listKind);
// The display names of the fields lists of listKind may show.
QStringList fieldNames(const TGlobalDataFieldList &catalogue, int listKind);
// Splits "a,b" and repeated options into single names.
QStringList splitNameList(const QStringList &values);

// The columns (the list kind's default columns when names is empty) and the
// sort keys (a leading '-' sorts descending) of a track list named on the
// command line.  An empty result means success, else the complaint, which
// points at the help of command.
QString buildColumns(const TGlobalDataFieldList &catalogue, const QStringList &names,
                     TColumnFieldRefList &columns, const QString &command);
QString buildSortKeys(const TGlobalDataFieldList &catalogue, const QStringList &names, TSortKeys &keys,
                      const QString &command);
// The complaint about a field name that the track lists do not know.
QString unknownFieldComplaint(const QString &name, const QString &command);
