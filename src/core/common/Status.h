#pragma once
#include <stdexcept>
#include <string>
#include <utility>

namespace velkor {

// The outcome of a core operation that can fail: ok, or a code saying what
// kind of failure and its message. A message the user sees is one of the
// system's own texts (Chinese, exactly as they stand); a failure no user
// should meet as such carries an English diagnostic for logs and tests.
class Status {
public:
    enum class Code {
        kOk,
        kDamaged,      // outside data that is not what it claims to be
        kUnsupported,  // a well-formed input of a kind Velkor does not read
        kIoError,      // a file that could not be read or written
    };

    Status() = default;  // ok
    static Status Damaged(std::string message) { return {Code::kDamaged, std::move(message)}; }
    static Status Unsupported(std::string message) {
        return {Code::kUnsupported, std::move(message)};
    }
    static Status IoError(std::string message) { return {Code::kIoError, std::move(message)}; }

    bool IsOk() const { return code_ == Code::kOk; }
    explicit operator bool() const { return IsOk(); }
    Code GetCode() const { return code_; }
    const std::string& Message() const { return message_; }

private:
    Status(Code code, std::string message) : code_(code), message_(std::move(message)) {}

    Code code_ = Code::kOk;
    std::string message_;
};

// A failure carried up by exception from deep inside a parser, where
// returning a Status from every read would hide the parsing. Caught at the
// parser's entry point and turned back into its Status.
class StatusError : public std::runtime_error {
public:
    explicit StatusError(Status status)
        : std::runtime_error(status.Message()), status_(std::move(status)) {}
    const Status& GetStatus() const { return status_; }

private:
    Status status_;
};

}  // namespace velkor
