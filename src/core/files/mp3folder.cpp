#include "core/files/mp3folder.h"

#include "core/data/datatree.h"
#include "core/files/shellstuff.h"

TMP3Folder::TMP3Folder(TDataObject *owner)
    : TMp3FileItem(owner)
{
}

TMP3Folder::~TMP3Folder()
{
    ClearChildren();
}

TTreeNode *TMP3Folder::AddToTree(TDataTree &tree, TTreeNode *parentNode)
{
    TTreeNode *node = TMp3FileItem::AddToTree(tree, parentNode);
    if (node)
        node->setHasChildren(HasSubfolders);
    return node;
}

void TMP3Folder::GetItems(TDataRefList &destination)
{
    for (TDataItem *child : Children)
        destination.Add(child);
}

void TMP3Folder::SetShellInfo(const TShellEntry &entry)
{
    TMp3FileItem::SetShellInfo(entry);
    HasSubfolders = TShellStuff::HasSubfolders(Path);
}

void TMP3Folder::SetInfoSources(bool manual, bool collection, bool id3v2, bool id3v1, bool filename)
{
    Children.SetInfoSources(manual, collection, id3v2, id3v1, filename);
}

void TMP3Folder::SetPath(const QString &path)
{
    Path = TShellStuff::ParsingName(path);
    Name = TShellStuff::DisplayName(Path);
}

void TMP3Folder::SetIcons(TFileIconProvider &icons)
{
    SmallIcon = icons.IconIndex(Path, TFileIconProvider::TIconKind::Small);
    SmallOpenIcon = icons.IconIndex(Path, TFileIconProvider::TIconKind::SmallOpen);
    LargeIcon = icons.IconIndex(Path, TFileIconProvider::TIconKind::Large);
}

TMp3FileItem *TMP3Folder::AddChild(std::unique_ptr<TMp3FileItem> item)
{
    TMp3FileItem *child = item.get();
    child->Folder = this;
    m_ownedChildren.push_back(std::move(item));
    Children.Add(child);
    return child;
}

void TMP3Folder::ClearChildren()
{
    // The references go before what they refer to.
    Children.Clear();
    m_ownedChildren.clear();
    IsRead = false;
    IsReadRecursive = false;
}

void TMP3Folder::CollectFiles(TMp3FileItemList &list, bool recursive) const
{
    for (int i = 0; i < ChildCount(); ++i) {
        TMp3FileItem *child = Child(i);
        if (!child->isFolder())
            list.Add(child);
        else if (recursive)
            static_cast<const TMP3Folder *>(child)->CollectFiles(list, true);
    }
}
