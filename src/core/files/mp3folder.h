#pragma once

#include "core/files/mp3fileitem.h"

#include <memory>
#include <vector>

class TFileIconProvider;

// A folder of the disk explorer.  Its children (folders and MP3 files) are
// read on demand and owned by the folder.
class TMP3Folder : public TMp3FileItem {
public:
    explicit TMP3Folder(TDataObject *owner = nullptr);
    ~TMP3Folder() override;

    TMp3FileItemList Children;      // the children in their order (held by the folder)
    bool IsRead = false;            // the folder's own entries have been read
    bool IsReadRecursive = false;   // ... and those of all its subfolders
    bool HasSubfolders = true;      // whether the tree offers to expand it
    qint32 SmallIcon = -1;
    qint32 SmallOpenIcon = -1;
    qint32 LargeIcon = -1;

    int GetImageIndex() const override { return SmallIcon; }
    int GetSelectedImageIndex() const override { return SmallOpenIcon; }
    int GetLargeImageIndex() const override { return LargeIcon; }
    TTreeNode *AddToTree(TDataTree &tree, TTreeNode *parentNode) override;
    void GetItems(TDataRefList &destination) override;
    void SetShellInfo(const TShellEntry &entry) override;
    void SetInfoSources(bool manual, bool collection, bool id3v2, bool id3v1, bool filename) override;
    bool isFolder() const override { return true; }

    // The folder of a path given by the user.
    void SetPath(const QString &path);
    // Asks the icon provider for the three icons of the folder.
    void SetIcons(TFileIconProvider &icons);
    // Takes ownership and sets the child's Folder.
    TMp3FileItem *AddChild(std::unique_ptr<TMp3FileItem> item);
    // Frees all children; the folder counts as not read.
    void ClearChildren();
    int ChildCount() const { return Children.Count(); }
    TMp3FileItem *Child(int index) const { return Children.item(index); }
    // Appends the files among the children, and with recursive those of the
    // subfolders at their place, in order.
    void CollectFiles(TMp3FileItemList &list, bool recursive) const;

private:
    // What owns the children; Children refers to them in the order shown.
    std::vector<std::unique_ptr<TMp3FileItem>> m_ownedChildren;
};
