#pragma once
#include <QTabWidget>
#include <QToolButton>
#include <functional>
#include <map>
#include <vector>

#include "shell/CommandRouter.h"

namespace velkor::gui {

// The ribbon: a tab per category, labelled panels of icon-over-text
// buttons, each sending its command number. Qt has no ribbon of its own.
class Ribbon : public QTabWidget {
    Q_OBJECT
public:
    using Sink = std::function<void(int id)>;
    Ribbon(Sink sink, QWidget* parent = nullptr);
    // Enables and checks every element as the command routing says.
    // Enabled and checked states, and tooltips that say why a button is
    // disabled.
    void UpdateStates(const CommandRouter& router, bool stationOpen);
    // The buttons of a command (a number may have several elements).
    std::vector<QToolButton*> Buttons(int id) const;
    // The category tab that holds a command's first element, or -1.
    int CategoryOf(int id) const;

private:
    Sink sink_;
    std::multimap<int, QToolButton*> buttons_;
    std::map<int, int> categoryOf_;
};

}  // namespace velkor::gui
