#pragma once

#include "settings/currentcollection.h"

// Stands for the collection until the collection root is plugged in: knows
// which file is open but not its contents, so it never writes over a
// collection file, and refuses to save a new one.
class TFileOnlyCollection : public TCurrentCollection {
public:
    QString FileName() const override { return m_fileName; }
    QString GetDisplayName() const override;
    bool LoadFromFile(const QString &fileName) override;
    bool SaveToFile(const QString &fileName) override;
    bool IsModified() const override { return false; }

private:
    QString m_fileName;
};
