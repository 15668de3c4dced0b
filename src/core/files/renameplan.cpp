#include "core/files/renameplan.h"

#include "core/base/localfiles.h"
#include "core/files/mp3file.h"

#include <QDir>

int TRenameStep::Status() const
{
    if (FileStatus == RenameStatus::Ok && TakenInRun)
        return RenameStatus::TargetExists;
    return FileStatus;
}

TRenameStep TRenamePlanner::Plan(const TMP3File &file) const
{
    TRenameStep step;
    step.NewName = file.GetNewFileName(m_format);
    step.NewPath = QDir::cleanPath(LocalParentFolder(file.Path) + QLatin1Char('/') + step.NewName);
    step.Unchanged = step.NewPath == file.Path;
    step.FileStatus = file.CheckRename(m_format);
    step.TakenInRun = !step.Unchanged && m_claimed.contains(step.NewPath);
    return step;
}
