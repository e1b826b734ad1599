#include "support/ScriptedInteraction.h"

namespace velkor::testing {

void ScriptedInteraction::Info(const std::string& text) { log.push_back({"info", text}); }
void ScriptedInteraction::Warning(const std::string& text) { log.push_back({"warning", text}); }

bool ScriptedInteraction::AskYesNo(const std::string& text) {
    log.push_back({"question", text});
    if (answers.empty()) return false;
    const bool a = answers.front();
    answers.pop_front();
    return a;
}

std::optional<bool> ScriptedInteraction::AskSaveChanges(const std::string& text) {
    if (saveAnswers.empty()) return AskYesNo(text);
    log.push_back({"question", text});
    const auto a = saveAnswers.front();
    saveAnswers.pop_front();
    return a;
}

std::optional<std::string> ScriptedInteraction::ChooseOpenFile(const std::string& title,
                                                               const std::string&) {
    log.push_back({"open", title});
    if (files.empty()) return std::nullopt;
    auto f = files.front();
    files.pop_front();
    return f;
}

std::optional<std::string> ScriptedInteraction::ChooseSaveFile(const std::string& title,
                                                               const std::string&) {
    log.push_back({"save", title});
    if (files.empty()) return std::nullopt;
    auto f = files.front();
    files.pop_front();
    return f;
}

std::optional<std::vector<bool>> ScriptedInteraction::ChooseOptions(
    const std::string& title, const std::vector<std::string>&, const std::vector<bool>& initial) {
    log.push_back({"options", title});
    if (options.empty()) return initial;
    auto o = options.front();
    options.pop_front();
    return o;
}

std::vector<std::string> ScriptedInteraction::Messages(const std::string& kind) const {
    std::vector<std::string> out;
    for (const Entry& e : log) {
        if (e.kind == kind) out.push_back(e.text);
    }
    return out;
}

}  // namespace velkor::testing
