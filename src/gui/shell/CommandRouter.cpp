#include "shell/CommandRouter.h"

namespace velkor::gui {

CommandState CommandRouter::State(int id) const {
    for (CommandTarget* t : chain_()) {
        if (!t) continue;
        CommandState s;
        s.enabled = true;
        if (t->QueryCommand(id, s)) return s;
    }
    return {};
}

bool CommandRouter::Execute(int id) const {
    for (CommandTarget* t : chain_()) {
        if (!t) continue;
        CommandState s;
        s.enabled = true;
        if (!t->QueryCommand(id, s)) continue;
        if (s.enabled) t->ExecuteCommand(id);
        return true;
    }
    return false;
}

}  // namespace velkor::gui
