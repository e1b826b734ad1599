#include "devices/ShellState.h"

namespace velkor {

ShellState& AppShell() {
    static ShellState state;
    return state;
}

void ShowObjectMessage(const std::string& text) {
    if (Interaction* ui = AppShell().messages) ui->Warning(text);
}

}  // namespace velkor
