#include "cli_output.h"

#include <cstdio>

namespace {

// A device text as one tab-separated field: control characters (tab and
// newline among them) would split the record, so they show as '?'.
std::string FieldText(const std::string& text) {
  std::string s;
  for (char ch : text) {
    const unsigned char c = static_cast<unsigned char>(ch);
    s.push_back(c < 0x20 || c == 0x7f ? '?' : ch);
  }
  return s;
}

std::string FieldText(const CliOutput::Record& value) {
  return value.is_string() ? FieldText(value.get<std::string>()) : value.dump();
}

// Device texts are single-byte ANSI, not UTF-8: bytes that are not UTF-8
// become U+FFFD rather than ending the program with an exception.
void PrintJson(const CliOutput::Record& value) {
  std::printf("%s\n", value.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace).c_str());
}

}  // namespace

void CliOutput::BeginList(const char* name) {
  list_ = name;
  result_[list_] = Record::array();
}

void CliOutput::Add(const Record& record) {
  if (format_ == Format::kJson) {
    result_[list_].push_back(record);
    return;
  }
  std::string line;
  for (auto it = record.begin(); it != record.end(); ++it) {
    if (it != record.begin()) line += '\t';
    line += FieldText(it.value());
  }
  std::printf("%s\n", line.c_str());
}

void CliOutput::Text(const char* name, const std::string& text) {
  if (format_ == Format::kJson)
    result_[name] = text;
  else
    std::printf("%s\n", FieldText(text).c_str());
}

int CliOutput::Fail(int status, const std::string& message) {
  if (format_ == Format::kText) {
    std::fprintf(stderr, "%s\n", message.c_str());
  } else if (!failed_) {
    failed_ = true;
    failStatus_ = status;
    failMessage_ = message;
  }
  return status;
}

int CliOutput::Finish(int status) {
  if (format_ == Format::kJson) {
    if (failed_ || status != 0) {
      Record error = Record::object();
      error["status"] = failed_ ? failStatus_ : status;
      error["error"] = failMessage_;
      PrintJson(error);
      status = failed_ ? failStatus_ : status;
    } else {
      PrintJson(result_);
    }
  }
  std::fflush(stdout);
  return status;
}

CliOutput& Out() {
  static CliOutput output;
  return output;
}
