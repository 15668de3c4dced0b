#pragma once

#include <functional>

class TfmDuplicates;
class TfmMainBase;

// Search > Find Duplicates...: searches the collection's tracks for copies
// and probable same songs, shows them in the Duplicates window and removes
// the tracks the user does not keep (optionally moving their files to the
// desktop's trash, never deleting them).
namespace duplicatecommands {

// Adds the command to the window's Search menu.
void Attach(TfmMainBase &window);

// How the Duplicates window is shown: modally, unless a test drives it.
using TWindowRunner = std::function<void(TfmDuplicates &window)>;
void SetWindowRunner(TWindowRunner run);  // empty: back to modal

} // namespace duplicatecommands
