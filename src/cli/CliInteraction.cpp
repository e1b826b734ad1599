#include "CliInteraction.h"

#include <ostream>

namespace velkor::cli {

void CliInteraction::Info(const std::string& text) { err_ << text << '\n'; }

void CliInteraction::Warning(const std::string& text) {
    ++warnings_;
    err_ << "警告: " << text << '\n';
}

bool CliInteraction::AskYesNo(const std::string& text) {
    err_ << text << (answerYes_ ? " [是]" : " [否]") << '\n';
    return answerYes_;
}

std::optional<std::vector<bool>> CliInteraction::ChooseOptions(const std::string& title,
                                                               const std::vector<std::string>&,
                                                               const std::vector<bool>& initial) {
    err_ << title << '\n';
    if (!answerYes_) return std::nullopt;
    return preset_ ? *preset_ : initial;
}

}  // namespace velkor::cli
