#pragma once

#include <QString>

// The folder a save dialog of the output windows starts in, or a name typed
// without a folder goes into: the folder last used (when it still exists),
// else the collection's folder, else the home folder.  Never a folder that
// does not exist: a file dialog would fall back to the program's working
// folder, where nobody looks for a report.
QString ProposedOutputFolder(const QString &lastFolder, const QString &collectionFile);
