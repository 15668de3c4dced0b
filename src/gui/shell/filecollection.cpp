#include "shell/filecollection.h"

#include "settings/desktopservices.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

QString TFileOnlyCollection::GetDisplayName() const
{
    return m_fileName.isEmpty() ? QCoreApplication::translate("TMp3Root", "[New Collection]")
                                : QFileInfo(m_fileName).fileName();
}

bool TFileOnlyCollection::LoadFromFile(const QString &fileName)
{
    m_fileName.clear();
    if (!QFileInfo::exists(fileName))
        return false;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        ShowError(QCoreApplication::translate("TMp3Root", "File \"%1\" could not be opened.")
                      .arg(QDir::toNativeSeparators(fileName)));
        return false;
    }
    m_fileName = QFileInfo(fileName).absoluteFilePath();
    return true;
}

bool TFileOnlyCollection::SaveToFile(const QString &fileName)
{
    // Nothing changed in the open file; a new file cannot be written yet.
    if (!m_fileName.isEmpty() && QFileInfo(fileName).absoluteFilePath() == m_fileName)
        return true;
    ShowError(QCoreApplication::translate("TMp3Root", "This version cannot write collection files yet."));
    return false;
}
