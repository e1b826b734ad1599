#pragma once
#include "common/Interaction.h"

namespace velkor {

// State of the running application that the station objects consult: the
// view's grid and move flags, the palette's current device type code and
// where an object's own messages go. The desktop program owns and sets it;
// the command-line tool and the tests set what they need.
struct ShellState {
    bool gridOn = false;
    bool moveMode = false;
    int currentCode = -1;  // select mode
    Interaction* messages = nullptr;
};

ShellState& AppShell();
// Shows a warning through the installed Interaction, if any.
void ShowObjectMessage(const std::string& text);

}  // namespace velkor
