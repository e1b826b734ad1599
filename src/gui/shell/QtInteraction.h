#pragma once
#include <QWidget>

#include <string>
#include <vector>

#include "common/Interaction.h"

namespace velkor::gui {

// The core's questions and messages as Qt message boxes and dialogs.
class QtInteraction : public Interaction {
public:
    explicit QtInteraction(QWidget* parent) : parent_(parent) {}
    void Info(const std::string& text) override;
    void Warning(const std::string& text) override;
    bool AskYesNo(const std::string& text) override;
    // 保存 / 不保存 / 取消.
    std::optional<bool> AskSaveChanges(const std::string& text) override;
    std::optional<std::string> ChooseOpenFile(const std::string& title,
                                              const std::string& filter) override;
    std::optional<std::string> ChooseSaveFile(const std::string& title,
                                              const std::string& filter) override;
    std::optional<std::vector<bool>> ChooseOptions(const std::string& title,
                                                   const std::vector<std::string>& labels,
                                                   const std::vector<bool>& initial) override;

    void BeginBatch() override { ++depth_; }
    void EndBatch() override;

    // The dialog of a batch of messages: all of them, copyable, with their
    // count. Shown modally; tests find it by its object name "messages".
    static void ShowMessageList(QWidget* parent, const std::vector<std::string>& messages,
                                bool warning);

private:
    // Shows the messages held so far: before a question, and at the end of
    // the outermost batch.
    void Flush();
    void Box(const std::string& text, bool warning);
    // A message of a batch is kept; otherwise it is shown at once.
    bool Hold(const std::string& text, bool warning);

    QWidget* parent_;
    int depth_ = 0;
    std::vector<std::string> held_;
    bool heldWarning_ = false;
};

}  // namespace velkor::gui
