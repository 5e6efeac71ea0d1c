#pragma once

#include <exception>
#include <string>
#include <string_view>

namespace marrowick {

// Every way an operation can end early. The kind decides nothing about the
// display (every failure is shown the same way); it lets callers and tests tell
// the failures apart without comparing message texts.
enum class FailureKind {
  RealConversion,     // a text is not a floating point value
  IntegerConversion,  // a text is not an integer value
  FileOpen,           // a file to read cannot be opened
  FileCreate,         // a file to write cannot be created
  FileDelete,         // a stale file cannot be removed
  StreamWrite,        // fewer bytes were written than the text holds
  DivideByZero,       // a non-zero value divided by zero
  InvalidOperation,   // zero by zero, or a rounding beyond the integer range
  Overflow,           // a value beyond the largest double being stored
  RangeCheck,         // a table sized to a negative number of slots
  InvalidInput,       // an input the section model cannot take
  SolverStart,        // the solver process could not be started
  SolverBusy,         // an analysis started again while its solvers still run
};

// A failure carries its kind and the text the user reads. It is thrown where
// it happens and caught only where the event loop meets it.
class Failure : public std::exception {
 public:
  Failure(FailureKind kind, std::string message) : kind_(kind), message_(std::move(message)) {}

  FailureKind Kind() const noexcept { return kind_; }
  const std::string& Message() const noexcept { return message_; }
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  FailureKind kind_;
  std::string message_;
};

[[noreturn]] void FailRealConversion(const std::string& text);
[[noreturn]] void FailIntegerConversion(const std::string& text);
// File failures name the file by its absolute path and quote the system's
// description of errno_value.
[[noreturn]] void FailFileOpen(const std::string& file_name, int errno_value);
[[noreturn]] void FailFileOpen(const std::string& file_name, const std::string& description);
[[noreturn]] void FailFileCreate(const std::string& file_name, int errno_value);
[[noreturn]] void FailFileDelete(const std::string& file_name, int errno_value);
[[noreturn]] void FailStreamWrite();
[[noreturn]] void FailDivideByZero();
[[noreturn]] void FailInvalidOperation();
[[noreturn]] void FailOverflow();
[[noreturn]] void FailRangeCheck();
[[noreturn]] void FailInvalidInput(const std::string& message);

// The file name resolved against the current directory, in absolute form.
std::string AbsolutePath(const std::string& file_name);

// The system's description of an error code with every trailing blank,
// control character and period removed, so that it fits the message template.
std::string SystemErrorDescription(int errno_value);

// A text as a message quotes it, between open and close: whole when short,
// else its first 80 bytes or so (whole characters), "…" and its length, as
// in «'1234567…' (1000000 bytes)», so that a runaway value cannot flood a
// message box or a log.
std::string QuoteForMessage(std::string_view text, std::string_view open = "'",
                            std::string_view close = "'");

// The text a message box shows for a failure: a final "." is added unless the
// text is empty or already ends in a character whose code is 0x2E or below.
std::string FailureDisplayText(const std::string& message);

}  // namespace marrowick
