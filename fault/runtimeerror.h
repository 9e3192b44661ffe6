#pragma once
#include <QString>
#include <exception>

namespace fault {

/// The run-time failure numbers the program raises.
enum ErrorNumber : int {
    InvalidProcedureCall = 5,
    Overflow = 6,
    OutOfMemory = 7,
    SubscriptOutOfRange = 9,
    TypeMismatch = 13,
    BadFileName = 52,
    FileNotFound = 53,
    PermissionDenied = 70,
    PathFileAccessError = 75,
    PathNotFound = 76,
    ElementNotFound = 35601,  // a tree node's relative key names no node
    KeyNotUnique = 35602,     // a tree node's key is taken
};

/// A run-time failure: what the trap reports. Thrown by any step that cannot do its work.
struct RuntimeError : std::exception {
    int number;
    QString description;
    RuntimeError(int n, QString d) : number(n), description(std::move(d)) {}
    const char* what() const noexcept override { return "run-time failure"; }
};

/// Raise failure n with a description that says what and where.
[[noreturn]] void raise(int number, const QString& description);
/// Raise a failure met before (by a pure reader that collects them).
[[noreturn]] void raise(const RuntimeError& failure);

/// The failure met reading line `line` of file (its name inside its folder), saying where:
/// `Type mismatch: "one" is not a number (bad.fti, line 3)`.
RuntimeError atLine(const RuntimeError& failure, const QString& file, int line);
/// Runs read, the reading of line `line` of file; a failure it raises says where.
template <class F> decltype(auto) readingLine(const QString& file, int line, F&& read)
{
    try {
        return read();
    } catch (const RuntimeError& failure) {
        throw atLine(failure, file, line);
    }
}

} // namespace fault
