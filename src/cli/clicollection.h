#pragma once

#include <QString>
#include <QStringList>

class QTextStream;
class TDataField;
class TGlobalDataFieldList;
class TRootItem;

// Opens a collection file named on the command line.  Complaints (no such
// file, damaged data) go to err prefixed "tunebase-cli: "; a collection
// recovered from damaged data opens with a warning.
bool openCollectionArg(TRootItem &root, const QString &path, QTextStream &err);

// The field named name (display or default name; letter case and blanks do
// not matter) that lists of listKind may show; nullptr when there is none.
const TDataField *findFieldByName(const TGlobalDataFieldList &catalogue, const QString &name, int listKind);
// The display names of the fields lists of listKind may show.
QStringList fieldNames(const TGlobalDataFieldList &catalogue, int listKind);
// Splits "a,b" and repeated options into single names.
QStringList splitNameList(const QStringList &values);
