#pragma once

#include "gui/filelist/filelistbase.h"

#include "core/files/renameplan.h"

#include <QHash>

class QComboBox;

// The rename window: renames a batch of MP3 files by one rename format.
// The preview shows each file's current and new name and marks the files
// that cannot be renamed; OK renames, never replacing another file.
class TfmRenameFilelist : public TfmFileListBase {
    Q_OBJECT
public:
    TfmRenameFilelist(QWidget *owner, const TFileListContext &context);

    static bool OpenForm(QWidget *owner, const TFileListContext &context, TMp3FileItemList *files,
                         TMP3Folder *folder)
    {
        return OpenFileListForm<TfmRenameFilelist>(owner, context, files, folder);
    }

    QComboBox *cbRenameFormats;
    QPushButton *btRenameFormats;

    // What renaming the file would meet (a RenameStatus); besides the
    // file's own check, a file whose new name an earlier file of the list
    // takes cannot be renamed either.
    int RowStatus(const TMP3File &file) const;
    // Sets the chosen format on every file and refreshes the preview.
    void ApplyFormat();
    void btRenameFormatsClick();

protected:
    int FieldListKind() const override { return 4; }
    void LoadSettings() override;
    void SaveSettings() override;
    void BuildFileList() override;
    void Opened() override { ApplyFormat(); }
    bool RunOperation() override;
    int StateImage(const TMP3File &file, int column) const override;
    // The file name beside the new one is the "Current Filename".
    QString ColumnCaption(const TDataField *field) const override;

private:
    void fillFormats();
    void computeSteps() const;
    // The plan of the run, computed when first asked for.
    const TRenameStep &stepOf(const TMP3File &file) const;

    mutable QHash<const TMP3File *, TRenameStep> m_steps;
    mutable bool m_statusesValid = false;
};
