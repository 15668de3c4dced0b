#pragma once

class TfmMainBase;

// The explorer window's output commands: print, export, browse and
// statistics, for the selected rows or the whole collection.
namespace outputcommands {

// Connects the commands' actions to their windows.
void Connect(TfmMainBase &window);
// The commands' part of the window's enabled rule.
void UpdateActions(TfmMainBase &window);

} // namespace outputcommands
