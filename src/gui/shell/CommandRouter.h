#pragma once
#include <functional>
#include <vector>

namespace velkor::gui {

// What the ribbon shows of a command.
struct CommandState {
    bool enabled = false;
    bool checked = false;
    // Why a disabled command is disabled, for its tooltip; null for the
    // reason the ribbon gives (no station open, not available).
    const char* why = nullptr;
};

// A place a command can be handled: the view, a document, a frame, the
// application.
class CommandTarget {
public:
    virtual ~CommandTarget() = default;
    // True when this target handles the number; it may then set the state
    // (enabled is preset to true).
    virtual bool QueryCommand(int id, CommandState& state) = 0;
    virtual void ExecuteCommand(int id) = 0;
};

// Routes a command along the chain of targets; the first that handles it
// runs it. A command nobody handles is disabled.
class CommandRouter {
public:
    using Chain = std::function<std::vector<CommandTarget*>()>;
    explicit CommandRouter(Chain chain) : chain_(std::move(chain)) {}

    CommandState State(int id) const;
    // False when no target handles the number.
    bool Execute(int id) const;

private:
    Chain chain_;
};

}  // namespace velkor::gui
