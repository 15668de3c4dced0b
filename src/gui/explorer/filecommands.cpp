// The main window's collection file commands: New, Open, Save, Save As and
// Import.

#include "gui/shell/mainbase.h"

#include "core/data/datalists.h"
#include "core/data/fieldlists.h"
#include "core/data/rootitem.h"
#include "gui/explorer/explorerlistmodel.h"
#include "gui/shell/rootcollection.h"
#include "gui/shell/widgetdesktopservices.h"
#include "core/base/desktopservices.h"
#include "core/settings/prefs.h"
#include "core/settings/shellsequence.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

QString TfmMainBase::AskOpenFileName()
{
    QFileDialog dialog(this, tr("Open Database"), m_prefs.DataFolder, CollectionFileFilter());
    dialog.setObjectName(QStringLiteral("dlgOpenDatabase"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QString TfmMainBase::AskSaveFileName()
{
    QFileDialog dialog(this, tr("Save Database"), m_prefs.DataFolder, CollectionFileFilter());
    dialog.setObjectName(QStringLiteral("dlgSaveDatabase"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("tbx"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

void TfmMainBase::NewCollection()
{
    TRootItem *root = Root();
    if (!root)
        return;
    // The items and lookup values are freed: the views let go of them first.
    releaseCollection(root);
    root->Clear();
    root->Fields->LoadFieldNames(m_prefs.Store());
    BuildColumns();
    BuildFolderMenus();
    ListReady = true;
    ResetState();
    RebuildTree();
    RestoreState(nullptr, true);
    UpdateCaption();
    UpdateActions();
}

void TfmMainBase::OpenCollectionDialog()
{
    const QString fileName = AskOpenFileName();
    if (!fileName.isEmpty())
        OpenCollection(fileName);
}

bool TfmMainBase::OpenCollection(const QString &fileName)
{
    // The file is read beside the current collection, which stays as it
    // is (saved or not) when the file cannot be read.
    if (!m_collection->LoadFromFile(fileName)) {
        UpdateCaption();
        return false;
    }
    m_prefs.CurrentDatabase = m_collection->FileName();
    m_prefs.DataFolder = shellsequence::FolderOf(m_prefs.CurrentDatabase);
    BuildColumns();
    BuildFolderMenus();
    UpdateCaption();
    ListReady = true;
    ResetState();
    RebuildTree();
    RestoreState(nullptr, true);
    UpdateActions();
    return true;
}

void TfmMainBase::ImportCollection()
{
    const QString fileName = AskOpenFileName();
    if (fileName.isEmpty() || !Root())
        return;
    releaseCollection(Root());
    if (Root()->ImportFromFile(fileName))
        Save();
    ListReady = true;
    ResetState();
    RebuildTree();
    RestoreState(nullptr, true);
    UpdateActions();
}

bool TfmMainBase::Save()
{
    if (m_collection->FileName().isEmpty())
        return SaveAs();
    return shellsequence::SaveNamedCollection(*m_collection, saveHooks());
}

shellsequence::TSaveHooks TfmMainBase::saveHooks()
{
    shellsequence::TSaveHooks hooks;
    hooks.AskFileChanged = [this](const QString &text) { return AskFileChanged(text, this); };
    hooks.Reload = [this] { return OpenCollection(m_collection->FileName()); };
    hooks.SaveAs = [this] { return SaveAs(); };
    return hooks;
}

bool TfmMainBase::chooseSaveFile(QString &fileName)
{
    for (;;) {
        fileName = AskSaveFileName();
        if (fileName.isEmpty())
            return false;
        const QFileInfo target(fileName);
        // Replacing the file through a temporary one would succeed even on
        // a write-protected file: refuse it, as the user protected it.
        const bool protectedFile = !target.isWritable() || !(target.permissions() & QFileDevice::WriteOwner);
        if (target.exists() && protectedFile) {
            ShowError(tr("The file \"%1\" is read-only.\nPlease choose another name.")
                          .arg(QDir::toNativeSeparators(fileName)));
            continue;
        }
        return true;
    }
}

bool TfmMainBase::SaveAs()
{
    QString fileName;
    bool saved = false;
    if (chooseSaveFile(fileName)) {
        saved = m_collection->SaveToFile(fileName);
        if (saved) {
            m_prefs.CurrentDatabase = m_collection->FileName();
            m_prefs.DataFolder = shellsequence::FolderOf(m_prefs.CurrentDatabase);
            updateRootNodeText();
        }
    }
    UpdateCaption();
    return saved;
}
