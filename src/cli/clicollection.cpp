#include "cli/clicollection.h"

#include "core/base/localpath.h"
#include "core/data/collectionfile.h"
#include "core/data/collectionlock.h"
#include "core/data/datafield.h"
#include "core/data/fieldlists.h"
#include "core/data/fieldrefs.h"
#include "core/data/rootitem.h"

#include <QTextStream>

namespace {

QString nameKey(const QString &name)
{
    QString key = name.toCaseFolded();
    key.remove(QLatin1Char(' '));
    return key;
}

// The note about a collection that opened, for the command line (the
// desktop program's notes point at its menus).
QString openedNote(const TCollectionLoadResult &result, const TRootItem &root, const QString &path)
{
    if (result.Newer) {
        return QStringLiteral("%1 was made by a newer version of Tunebase: what is shown is what this version "
                              "understands of it, and commands that save refuse to change it.")
            .arg(path);
    }
    if (result.Recovered) {
        const qint32 count = root.Items ? root.Items->Count() : 0;
        return QStringLiteral("%1 is damaged: only the %2 tracks before the damage could be read, and only "
                              "they are shown.\nThe file was left as it is; open it in Brimlow Tunebase to "
                              "save what could be read as a new file.")
            .arg(path, QString::number(count));
    }
    if (result.TrailingData) {
        return QStringLiteral("%1 goes on after its last record with data this version does not know; "
                              "commands that save refuse to change it.")
            .arg(path);
    }
    if (result.Converted) {
        return QStringLiteral("The collection \"%1\" was created with an older version of Tunebase.\nIt is "
                              "shown converted; the file was left as it is ('tunebase-cli add --convert "
                              "NEWFILE' saves a converted copy, which older versions cannot open).")
            .arg(path);
    }
    return QString(result.Message).replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

} // namespace

int shownExitCode(const TCollectionLoadResult &result)
{
    return result.Recovered ? ExitRecovered : 0;
}

bool openCollectionArg(TRootItem &root, const QString &path, QTextStream &err, bool *recovered)
{
    const TCollectionLoadResult result = loadCollectionWhenFree(root, path, TCollectionLock::DefaultWait);
    if (result.Status == TCollectionLoadResult::TStatus::NotFound) {
        err << "tunebase-cli: no such collection file '" << ReadablePath(path) << "'\n";
        return false;
    }
    if (!result.opened()) {
        err << "tunebase-cli: " << (result.Message.isEmpty() ? QStringLiteral("cannot open ") + path : result.Message)
            << "\n";
        return false;
    }
    if (result.Recovered || result.readOnly())
        err << "tunebase-cli: warning: " << openedNote(result, root, path) << "\n";
    if (recovered)
        *recovered = result.Recovered;
    return true;
}

bool openCollectionToShow(TRootItem &root, const QString &path, QTextStream &err,
                          TCollectionLoadResult &result)
{
    result = loadCollectionWhenFree(root, path, TCollectionLock::DefaultWait);
    if (!result.Message.isEmpty()) {
        const QString text = result.opened() ? openedNote(result, root, path) : result.Message;
        err << QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")) << "\n";
        err.flush();
    }
    return result.opened();
}

const TDataField *findFieldByName(const TGlobalDataFieldList &catalogue, const QString &name, int listKind)
{
    const QString key = nameKey(name);
    for (int i = 0; i < catalogue.Count(); ++i) {
        const TDataField *field = catalogue.Get(i);
        if (field->ListKinds.contains(listKind)
            && (nameKey(GetFieldDisplayName(field)) == key || nameKey(field->Name) == key))
            return field;
    }
    return nullptr;
}

QStringList fieldNames(const TGlobalDataFieldList &catalogue, int listKind)
{
    QStringList names;
    for (int i = 0; i < catalogue.Count(); ++i)
        if (catalogue.Get(i)->ListKinds.contains(listKind))
            names.append(GetFieldDisplayName(catalogue.Get(i)));
    return names;
}

QStringList splitNameList(const QStringList &values)
{
    QStringList names;
    for (const QString &value : values)
        for (const QString &name : value.split(QLatin1Char(','), Qt::SkipEmptyParts))
            names.append(name.trimmed());
    return names;
}

QString unknownFieldComplaint(const QString &name, const QString &command)
{
    return QStringLiteral("no track field named '%1' (see 'tunebase-cli %2 --help')").arg(name, command);
}

QString buildColumns(const TGlobalDataFieldList &catalogue, const QStringList &names,
                     TColumnFieldRefList &columns, const QString &command)
{
    if (names.isEmpty()) {
        columns.addDefaultColumns();
        return QString();
    }
    for (const QString &name : names) {
        const TDataField *field = findFieldByName(catalogue, name, ListKind::MainItems);
        if (!field)
            return unknownFieldComplaint(name, command);
        columns.Add(std::make_unique<TColumnField>(field, field->DefaultWidth, &columns));
    }
    return QString();
}

QString buildSortKeys(const TGlobalDataFieldList &catalogue, const QStringList &names, TSortKeys &keys,
                      const QString &command)
{
    for (QString name : names) {
        const bool descending = name.startsWith(QLatin1Char('-'));
        if (descending || name.startsWith(QLatin1Char('+')))
            name.remove(0, 1);
        const TDataField *field = findFieldByName(catalogue, name, ListKind::MainItems);
        if (!field)
            return unknownFieldComplaint(name, command);
        keys.append({field, descending ? -1 : 1});
    }
    return QString();
}
