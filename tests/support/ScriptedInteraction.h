#pragma once
#include <deque>
#include <string>
#include <vector>

#include "common/Interaction.h"

namespace velkor::testing {

// An Interaction that records every message and question and answers from
// scripted lists. An unscripted question is answered No and recorded, so a
// test sees questions it did not expect.
class ScriptedInteraction : public Interaction {
public:
    struct Entry {
        std::string kind;  // "info", "warning", "question", "open", "save", "options"
        std::string text;
        friend bool operator==(const Entry&, const Entry&) = default;
    };

    void Info(const std::string& text) override;
    void Warning(const std::string& text) override;
    bool AskYesNo(const std::string& text) override;
    // From `saveAnswers` (nothing = 取消) while it holds any, else as a Yes/No
    // question.
    std::optional<bool> AskSaveChanges(const std::string& text) override;
    std::optional<std::string> ChooseOpenFile(const std::string& title,
                                              const std::string& filter) override;
    std::optional<std::string> ChooseSaveFile(const std::string& title,
                                              const std::string& filter) override;
    std::optional<std::vector<bool>> ChooseOptions(const std::string& title,
                                                   const std::vector<std::string>& labels,
                                                   const std::vector<bool>& initial) override;

    std::deque<bool> answers;
    std::deque<std::optional<bool>> saveAnswers;
    std::deque<std::optional<std::string>> files;
    std::deque<std::optional<std::vector<bool>>> options;
    std::vector<Entry> log;

    std::vector<std::string> Messages(const std::string& kind) const;
};

}  // namespace velkor::testing
