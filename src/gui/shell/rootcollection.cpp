#include "shell/rootcollection.h"

#include "data/fielddefaults.h"
#include "mp3model/mp3root.h"

TRootCollection::TRootCollection(TSettingsStore &store)
    : m_store(store), m_root(std::make_unique<TMp3Root>())
{
    TRootItem::SetCurrent(m_root.get());
    m_root->Defaults->Load(m_store);
}

TRootCollection::~TRootCollection()
{
    m_root->Defaults->Save(m_store);
    if (TRootItem::Current() == m_root.get())
        TRootItem::SetCurrent(nullptr);
}

QString TRootCollection::FileName() const
{
    return m_root->FileName;
}

QString TRootCollection::GetDisplayName() const
{
    return m_root->GetDisplayName();
}

bool TRootCollection::LoadFromFile(const QString &fileName)
{
    return m_root->LoadFromFile(fileName);
}

bool TRootCollection::SaveToFile(const QString &fileName)
{
    return m_root->SaveToFile(fileName);
}
