#pragma once

#include <QSet>
#include <QString>

class TMP3File;

// What renaming one file of a run by a rename format comes to.
struct TRenameStep {
    QString NewName;  // the name the format gives, in the file's folder
    QString NewPath;
    // The format gives the file the name it has: nothing to do.
    bool Unchanged = false;
    // CheckRename's verdict (one of RenameStatus) for the file alone.
    int FileStatus = 0;
    // An earlier file of the run is given the same name: the second rename
    // would fail, and a preview or a dry run says so beforehand.
    bool TakenInRun = false;

    // The verdict for the run: FileStatus, or TargetExists when the name is
    // taken in the run.
    int Status() const;
};

// Plans the renames of a run, file by file in the order they are renamed:
// the target name, CheckRename, and two files of the run wanting one name.
// The rename window's preview and `tunebase-cli rename` both plan this way;
// the renames themselves are TMP3File::Rename (or TMP3Process::RenameFiles).
class TRenamePlanner {
public:
    explicit TRenamePlanner(const QString &format) : m_format(format) {}

    // The step for the next file; its new name is not claimed yet.
    TRenameStep Plan(const TMP3File &file) const;
    // The step's new name is the file's from now on: a later file wanting
    // it is TakenInRun.
    void Claim(const TRenameStep &step) { m_claimed.insert(step.NewPath); }

private:
    QString m_format;
    QSet<QString> m_claimed;
};
