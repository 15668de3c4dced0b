#include "memorytree.h"

#include <QStringList>

TTreeNode *TMemoryTree::addNode(TTreeNode *parent, const QString &text, TDataObject *object,
                                int imageIndex, int selectedImageIndex)
{
    auto node = std::make_shared<TMemoryTreeNode>();
    node->text = text;
    node->object = object;
    node->imageIndex = imageIndex;
    node->selectedImageIndex = selectedImageIndex;
    node->parent = static_cast<TMemoryTreeNode *>(parent);
    if (node->parent)
        node->parent->children.append(node.get());
    else
        topLevel.append(node.get());
    m_nodes.append(node);
    return node.get();
}

QStringList TMemoryTree::childTexts(const TMemoryTreeNode *node) const
{
    QStringList texts;
    for (const TMemoryTreeNode *child : node ? node->children : topLevel)
        texts.append(child->text);
    return texts;
}
