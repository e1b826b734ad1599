#pragma once
#include <iosfwd>

#include "common/Interaction.h"

namespace velkor::cli {

// The terminal as the person: messages go to stderr, questions are answered
// by the command's flags, never by waiting for input.
class CliInteraction : public Interaction {
public:
    CliInteraction(std::ostream& err, bool answerYes) : err_(err), answerYes_(answerYes) {}
    void Info(const std::string& text) override;
    void Warning(const std::string& text) override;
    bool AskYesNo(const std::string& text) override;
    std::optional<std::string> ChooseOpenFile(const std::string&, const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::string> ChooseSaveFile(const std::string&, const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::vector<bool>> ChooseOptions(const std::string& title,
                                                   const std::vector<std::string>& labels,
                                                   const std::vector<bool>& initial) override;
    int Warnings() const { return warnings_; }
    // The boxes a modal choice is answered with (the command's options).
    void PresetOptions(std::vector<bool> boxes) { preset_ = std::move(boxes); }

private:
    std::ostream& err_;
    bool answerYes_;
    int warnings_ = 0;
    std::optional<std::vector<bool>> preset_;
};

}  // namespace velkor::cli
