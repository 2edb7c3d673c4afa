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
  m_list = name;
  m_result[m_list] = Record::array();
}

void CliOutput::Add(const Record& record) {
  if (m_format == Format::kJson) {
    m_result[m_list].push_back(record);
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
  if (m_format == Format::kJson)
    m_result[name] = text;
  else
    std::printf("%s\n", FieldText(text).c_str());
}

int CliOutput::Fail(int status, const std::string& message) {
  if (m_format == Format::kText) {
    std::fprintf(stderr, "%s\n", message.c_str());
  } else if (!m_failed) {
    m_failed = true;
    m_failStatus = status;
    m_failMessage = message;
  }
  return status;
}

int CliOutput::Finish(int status) {
  if (m_format == Format::kJson) {
    if (m_failed || status != 0) {
      Record error = Record::object();
      error["status"] = m_failed ? m_failStatus : status;
      error["error"] = m_failMessage;
      PrintJson(error);
      status = m_failed ? m_failStatus : status;
    } else {
      PrintJson(m_result);
    }
  }
  std::fflush(stdout);
  return status;
}

CliOutput& Out() {
  static CliOutput output;
  return output;
}
