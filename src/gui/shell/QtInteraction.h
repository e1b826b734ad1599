#pragma once
#include <QWidget>

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

private:
    QWidget* parent_;
};

}  // namespace velkor::gui
