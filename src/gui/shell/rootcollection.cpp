#include "gui/shell/rootcollection.h"

#include "core/data/collectionfile.h"
#include "core/data/datalists.h"
#include "core/data/fielddefaults.h"
#include "core/mp3model/mp3root.h"

TRootCollection::TRootCollection(TSettingsStore &store, TFactory factory)
    : m_store(store), m_factory(std::move(factory)), m_root(makeRoot())
{
    TRootItem::SetCurrent(m_root.get());
}

TRootCollection::~TRootCollection()
{
    SaveDefaults();
    if (TRootItem::Current() == m_root.get())
        TRootItem::SetCurrent(nullptr);
}

std::unique_ptr<TRootItem> TRootCollection::makeRoot() const
{
    std::unique_ptr<TRootItem> root = m_factory ? m_factory() : std::make_unique<TMp3Root>();
    if (root->Defaults)
        root->Defaults->Load(m_store);
    return root;
}

void TRootCollection::SaveDefaults()
{
    if (m_root->Defaults)
        m_root->Defaults->Save(m_store);
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
    // The field defaults the user set while this root was current go to
    // the store, so the new root starts with them.
    SaveDefaults();
    std::unique_ptr<TRootItem> incoming = makeRoot();
    // Whatever consults the current root while the file is read must see
    // the one being read.
    TRootItem::SetCurrent(incoming.get());
    if (!incoming->LoadFromFile(fileName)) {
        TRootItem::SetCurrent(m_root.get());
        return false;
    }
    if (BeforeReplace)
        BeforeReplace(*incoming);
    m_root = std::move(incoming);
    TRootItem::SetCurrent(m_root.get());
    return true;
}

bool TRootCollection::SaveToFile(const QString &fileName)
{
    return m_root->SaveToFile(fileName);
}

TOwnFileSaveResult TRootCollection::SaveOverOwnFile(const std::optional<TFileStamp> &accepted)
{
    const TCollectionSaveResult saved = m_root->SaveOverOwnFile(accepted);
    TOwnFileSaveResult result;
    result.OnDisk = saved.OnDisk;
    result.Outcome = saved.Saved           ? TOwnFileSaveResult::TOutcome::Saved
                     : saved.ChangedOnDisk ? TOwnFileSaveResult::TOutcome::ChangedOnDisk
                                           : TOwnFileSaveResult::TOutcome::Failed;
    return result;
}

bool TRootCollection::IsModified() const
{
    return m_root->FileName.isEmpty() && m_root->Items && m_root->Items->Count() > 0;
}
