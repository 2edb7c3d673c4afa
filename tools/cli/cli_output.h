// Where nexora-cli's results and failures go. Text (the default): records
// as tab-separated lines and plain texts on standard output, failure
// messages on standard error. JSON (--json): one object on standard output
// when the command ends: its named lists of records and named texts, or on
// failure {"status": N, "error": "message"}.
#pragma once
#include <string>

#include <nlohmann/json.hpp>

class CliOutput {
public:
  using Record = nlohmann::ordered_json;
  enum class Format { kText,
                      kJson };

  void SetFormat(Format format) { m_format = format; }
  Format format() const { return m_format; }

  // Opens the list that later records join (JSON: an array, present even
  // when no record follows).
  void BeginList(const char* name);
  // One record with named fields: text prints its values, tab-separated,
  // on one line (control characters as '?' so that it stays one line).
  void Add(const Record& record);
  // One named text of the result: text prints it on a line of its own.
  void Text(const char* name, const std::string& text);
  // A failure with its exit status: text prints the message on standard
  // error at once; JSON keeps the first one for Finish. Returns status.
  int Fail(int status, const std::string& message);
  // Ends the command (JSON: prints the object). Returns status.
  int Finish(int status);

private:
  Format m_format = Format::kText;
  Record m_result = Record::object();
  std::string m_list;
  bool m_failed = false;
  int m_failStatus = 0;
  std::string m_failMessage;
};

// The one output of the process.
CliOutput& Out();
