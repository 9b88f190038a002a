#pragma once
// What an operation that may fail for a reason the user should read answers: whether it
// succeeded, what kind of failure it was, the German reason (or, on success, a remark), and
// the byte offset in the input the reason refers to.

#include <cstdint>
#include <string>
#include <utility>

enum class TStatus {
    Ok,
    NotFound,     // the file, a folder on its path, or a thing asked for by name does not exist
    NotAFile,     // a folder, a device or a pipe stands where a file is wanted
    TooLarge,     // more than the program reads or holds (size, depth, overlapping entries)
    AccessDenied, // the user may not read or write it
    Refused,      // the program will not do it (an output that would replace the open document)
    SystemError,  // any other failure the system reports
    OutOfMemory,
    BadDocument, // bytes that are no document the program can read
    BadRequest,  // a choice that cannot be carried out (an ambiguous path, a missing option)
    BadUsage,    // a command line the tool cannot run at all
};

class TResult {
public:
    // Success without a remark.
    TResult() = default;
    static TResult Success(std::string Warning = {}) {
        TResult r;
        r.FMessage = std::move(Warning);
        return r;
    }
    // Status must be a failure; Ok is taken as a system error.
    static TResult Failure(TStatus Status, std::string Reason, int64_t Position = -1) {
        TResult r;
        r.FStatus = Status == TStatus::Ok ? TStatus::SystemError : Status;
        r.FMessage = std::move(Reason);
        r.FPosition = Position < 0 ? -1 : Position;
        return r;
    }

    explicit operator bool() const { return FStatus == TStatus::Ok; }
    TStatus Status() const { return FStatus; }
    // German: the reason of a failure, or a warning on success; empty when there is none.
    const std::string &Message() const { return FMessage; }
    // Byte offset in the input the message refers to; -1 when it names none.
    int64_t Position() const { return FPosition; }

private:
    TStatus FStatus = TStatus::Ok;
    std::string FMessage;
    int64_t FPosition = -1;
};

// An operation's result beside the value it made; Value counts only on success.
template <class T> struct TResultWith {
    TResult Result;
    T Value{};
};
