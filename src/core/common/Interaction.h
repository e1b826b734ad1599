#pragma once
#include <optional>
#include <string>
#include <vector>

namespace velkor {

// Everything the core needs from a person: messages, Yes/No questions, file
// choices and the few modal choices of a command. Texts are UTF-8.
class Interaction {
public:
    virtual ~Interaction() = default;
    virtual void Info(const std::string& text) = 0;
    virtual void Warning(const std::string& text) = 0;
    // True for Yes.
    virtual bool AskYesNo(const std::string& text) = 0;
    // Whether to save unsaved changes: true to save, false to discard, nothing
    // to cancel. Front ends without a cancel answer it as a Yes/No question.
    virtual std::optional<bool> AskSaveChanges(const std::string& text) { return AskYesNo(text); }
    // A file to open or to save; nothing when the person cancels.
    virtual std::optional<std::string> ChooseOpenFile(const std::string& title,
                                                      const std::string& filter) = 0;
    virtual std::optional<std::string> ChooseSaveFile(const std::string& title,
                                                      const std::string& filter) = 0;
    // A set of check boxes with their initial states; nothing when cancelled.
    virtual std::optional<std::vector<bool>> ChooseOptions(const std::string& title,
                                                           const std::vector<std::string>& labels,
                                                           const std::vector<bool>& initial) = 0;

    // A batch: the messages of one command, which a front end may show
    // together when the command ends rather than one at a time. Batches
    // nest; the outermost end shows them.
    virtual void BeginBatch() {}
    virtual void EndBatch() {}
};

// The messages of a scope as one batch.
class MessageBatch {
public:
    explicit MessageBatch(Interaction& ui) : ui_(ui) { ui_.BeginBatch(); }
    ~MessageBatch() { ui_.EndBatch(); }
    MessageBatch(const MessageBatch&) = delete;
    MessageBatch& operator=(const MessageBatch&) = delete;

private:
    Interaction& ui_;
};

// Answers every question Yes, keeps the initial choices and shows nothing:
// for batch runs that must not stop, benchmarks and fuzzing.
class SilentInteraction : public Interaction {
public:
    void Info(const std::string&) override {}
    void Warning(const std::string&) override {}
    bool AskYesNo(const std::string&) override { return true; }
    std::optional<std::string> ChooseOpenFile(const std::string&, const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::string> ChooseSaveFile(const std::string&, const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::vector<bool>> ChooseOptions(const std::string&,
                                                   const std::vector<std::string>&,
                                                   const std::vector<bool>& initial) override {
        return initial;
    }
};

}  // namespace velkor
