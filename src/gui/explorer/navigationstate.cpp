#include "gui/explorer/navigationstate.h"

TStateNode *TStateNode::AddChild(qint32 objectID)
{
    Children.push_back(std::make_unique<TStateNode>());
    Children.back()->ObjectID = objectID;
    return Children.back().get();
}

void TStateNode::Clear()
{
    Children.clear();
    HoldsSelection = false;
    ObjectID = -1;
}

void TState::Clear()
{
    Root.Clear();
    FocusItemID = -1;
    SelectedFolderID = -1;
}
