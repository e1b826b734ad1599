#pragma once

namespace velkor::gui {

// The palette's state, shared by every view of the program: the device type
// code a press places (-1 selects) and whether a press moves a selection.
struct ShellState {
    bool moveMode = false;
    int currentCode = -1;
};

}  // namespace velkor::gui
