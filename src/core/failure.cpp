#include "core/failure.h"

#include <cstring>
#include <filesystem>

#include "core/utf8_text.h"

namespace marrowick {

namespace {

std::string StripTrailing(std::string text) {
  while (!text.empty()) {
    const auto last = static_cast<unsigned char>(text.back());
    if (last > 32 && last != '.') break;
    text.pop_back();
  }
  return text;
}

}  // namespace

void FailRealConversion(const std::string& text) {
  throw Failure(FailureKind::RealConversion, "'" + text + "' is not a valid floating point value");
}

void FailIntegerConversion(const std::string& text) {
  throw Failure(FailureKind::IntegerConversion, "'" + text + "' is not a valid integer value");
}

void FailFileOpen(const std::string& file_name, int errno_value) {
  FailFileOpen(file_name, SystemErrorDescription(errno_value));
}

void FailFileOpen(const std::string& file_name, const std::string& description) {
  throw Failure(FailureKind::FileOpen, "Cannot open file \"" + AbsolutePath(file_name) + "\". " +
                                           StripTrailing(description));
}

void FailFileCreate(const std::string& file_name, int errno_value) {
  throw Failure(FailureKind::FileCreate, "Cannot create file \"" + AbsolutePath(file_name) +
                                             "\". " + SystemErrorDescription(errno_value));
}

void FailFileDelete(const std::string& file_name, int errno_value) {
  throw Failure(FailureKind::FileDelete, "Cannot delete file \"" + AbsolutePath(file_name) +
                                             "\". " + SystemErrorDescription(errno_value));
}

void FailStreamWrite() {
  throw Failure(FailureKind::StreamWrite, "Stream write error");
}

void FailDivideByZero() {
  throw Failure(FailureKind::DivideByZero, "Floating point division by zero");
}

void FailInvalidOperation() {
  throw Failure(FailureKind::InvalidOperation, "Invalid floating point operation");
}

void FailOverflow() {
  throw Failure(FailureKind::Overflow, "Floating point overflow");
}

void FailRangeCheck() {
  throw Failure(FailureKind::RangeCheck, "Range check error");
}

void FailInvalidInput(const std::string& message) {
  throw Failure(FailureKind::InvalidInput, message);
}

std::string AbsolutePath(const std::string& file_name) {
  std::error_code error;
  const auto path = std::filesystem::absolute(file_name, error);
  if (!error) return path.lexically_normal().string();
  // The current directory was removed: the kernel still knows its old name
  // (marked "(deleted)"), which tells the user where the file was meant to go.
  const auto cwd = std::filesystem::read_symlink("/proc/self/cwd", error);
  if (error) return file_name;
  return (cwd / file_name).lexically_normal().string();
}

std::string SystemErrorDescription(int errno_value) {
  char buffer[256];
  // The GNU strerror_r may return a static string instead of filling buffer.
  const char* text = strerror_r(errno_value, buffer, sizeof buffer);
  return StripTrailing(text ? text : "");
}

std::string QuoteForMessage(std::string_view text, std::string_view open, std::string_view close) {
  constexpr std::size_t kQuotedBytes = 80;
  std::string quoted(open);
  if (text.size() <= kQuotedBytes) return quoted.append(text).append(close);
  quoted.append(Utf8Head(text, kQuotedBytes)).append("…").append(close);
  return quoted + " (" + std::to_string(text.size()) + " bytes)";
}

std::string FailureDisplayText(const std::string& message) {
  if (message.empty() || static_cast<unsigned char>(message.back()) <= 0x2E) return message;
  return message + ".";
}

}  // namespace marrowick
