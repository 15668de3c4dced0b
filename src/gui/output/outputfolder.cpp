#include "gui/output/outputfolder.h"

#include "core/base/localfiles.h"

#include <QDir>

QString ProposedOutputFolder(const QString &lastFolder, const QString &collectionFile)
{
    const QString collectionFolder = collectionFile.isEmpty() ? QString() : LocalParentFolder(collectionFile);
    for (const QString &folder : {lastFolder, collectionFolder}) {
        if (!folder.isEmpty() && IsLocalFolder(folder))
            return folder;
    }
    return QDir::homePath();
}
