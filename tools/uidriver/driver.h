// nexora-uidriver: drives a Win32 program from the outside, as a person
// would, for the end-to-end tests. It runs in the same Wine prefix (same
// wineserver, same desktop) as the program under test, reads one command per
// line on standard input and answers each with one line on standard output.
#pragma once

#include <windows.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace uidriver {

// A command that could not be carried out. The reply line is
// "err <code> <quoted message>"; code is one word (timeout, not-found, ...).
struct CommandError {
  std::string code;
  std::string message;
};

[[noreturn]] void Fail(const std::string& code, const std::string& message);

// ---- command lines (protocol_text.cpp) --------------------------------------

// One word of a command line: positional ("1000", "OK") or named
// ("timeout=500", title="Nexora Storage Utility").
struct Arg {
  bool named = false;
  std::string key;
  std::string value;
};

// Splits a line into words. Double quotes group a word (or the value of a
// named word) and take the escapes \" \\ \n \t \r \xHH. Returns false with a
// reason on a malformed line.
bool SplitLine(const std::string& line, std::vector<Arg>* words, std::string* error);

// The option that every command takes: during-wait=1 acts on the target
// also while it waits (commands.cpp).
constexpr char kDuringWaitOption[] = "during-wait";

class Args {
public:
  Args(std::string verb, std::vector<Arg> words);
  const std::string& Verb() const { return m_verb; }
  size_t PositionalCount() const { return m_positional.size(); }
  bool HasPositional(size_t i) const { return i < m_positional.size(); }
  // The i-th positional word; fails with bad-args naming `what` if absent.
  const std::string& Positional(size_t i, const char* what) const;
  std::string PositionalOr(size_t i, const std::string& fallback) const;
  bool Has(const std::string& key) const;
  std::string Named(const std::string& key, const std::string& fallback) const;
  long long NamedInt(const std::string& key, long long fallback) const;
  bool NamedBool(const std::string& key, bool fallback) const;
  // Fails with bad-args when a named word is not in `known` or there are
  // more than `maxPositional` positional words.
  void Check(size_t maxPositional, std::initializer_list<const char*> known) const;

private:
  std::string m_verb;
  std::vector<std::string> m_positional;
  std::vector<Arg> m_named;
};

long long ParseInt(const std::string& text, const char* what);
bool IsInteger(const std::string& text);

// ---- replies (protocol_text.cpp) -------------------------------------------

// "ok key=value ...": values are bare words (numbers, handles, names),
// quoted strings, or lists in brackets.
class Reply {
public:
  Reply& Word(const std::string& key, const std::string& word);
  Reply& Str(const std::string& key, const std::string& text);
  Reply& Int(const std::string& key, long long value);
  Reply& Bool(const std::string& key, bool value) { return Int(key, value ? 1 : 0); }
  Reply& Handle(const std::string& key, HWND hwnd);
  Reply& List(const std::string& key, const std::vector<std::string>& items);
  std::string Line() const;

private:
  std::string m_text;
};

std::string Quote(const std::string& text);
std::string ListOf(const std::vector<std::string>& items);
std::string QuotedList(const std::vector<std::string>& texts);
std::string HandleText(HWND hwnd);
std::string RectText(const RECT& r);

// ---- session state ---------------------------------------------------------

struct Session {
  DWORD pid = 0;  // process under test (0 until attach)
  HANDLE process = nullptr;  // kept open so the exit code stays readable
  HWND main = nullptr;  // window found by attach
  HWND current = nullptr;  // window that control references are resolved in
  DWORD timeoutMs = 5000;  // default for waits and sent messages
  POINT lastClick{-10000, -10000};
  DWORD lastClickTick = 0;  // GetTickCount of the last single click (0: none)
};
extern Session g;

// ---- windows (windows.cpp) -------------------------------------------------

std::string ClassOf(HWND hwnd);
// The window text through WM_GETTEXT (which Wine and Windows carry across
// processes); waits for a busy owner up to the session timeout ("busy").
std::string TextOf(HWND hwnd);
// The same for listings: asks for at most 200 ms, then takes the stored
// caption, which for some controls is out of date.
std::string QuickTextOf(HWND hwnd);
std::string StripMnemonic(const std::string& text);
DWORD ProcessOf(HWND hwnd);
DWORD ThreadOf(HWND hwnd);
std::vector<HWND> TopLevelWindows(DWORD pid);
std::vector<HWND> ChildWindows(HWND parent, bool descendants);
RECT WindowRectOf(HWND hwnd);
RECT ClientRectOnScreen(HWND hwnd);
bool IsMessageBoxLike(HWND hwnd);
// The innermost modal window of the target process: a visible, enabled
// top-level window whose owner is disabled. Null when there is none.
HWND FindModalWindow();
// "main", "current", "0x..." (empty: the current window).
HWND ResolveWindow(const std::string& ref);
// A control of `within`: "1000" (dialog id), "0x..." (handle), "text=OK" or
// any other word (the text of a child, '&' ignored).
HWND ResolveControl(const std::string& ref, HWND within);
// SendMessageTimeout with the session timeout; fails with "busy".
LRESULT SendTo(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
void RequireTarget();

// ---- memory of the target process (remote.cpp) ------------------------------

// A buffer in the address space of the process that owns a window, for the
// messages whose pointers Wine and Windows do not carry across processes
// (list views, IP address controls).
class RemoteBuffer {
public:
  RemoteBuffer(HWND owner, size_t size);
  ~RemoteBuffer();
  RemoteBuffer(const RemoteBuffer&) = delete;
  RemoteBuffer& operator=(const RemoteBuffer&) = delete;
  void* Address(size_t offset = 0) const;
  void Write(const void* data, size_t size, size_t offset = 0);
  void Read(void* data, size_t size, size_t offset = 0) const;

private:
  HANDLE m_process = nullptr;
  void* m_base = nullptr;
  size_t m_size = 0;
};

// ---- real input (input.cpp) ------------------------------------------------

POINT CentreOf(const RECT& r);
// Moves the real mouse to pt and clicks (button "left" or "right"; double
// clicks when asked). A click close in time and place to the previous one
// is moved a few pixels inside `area` so that it is not taken as a double
// click.
void MouseClick(POINT pt, const RECT& area, bool right, bool twice);
void MouseMove(POINT pt);
// Key sequence: literal characters, and names in braces such as {ENTER},
// {TAB}, {SHIFT+TAB}, {ALT+F4}, {DOWN 3}, {{} for a brace.
void SendKeys(const std::string& keys);
// Types the characters of text as key presses.
void TypeText(const std::string& text);
void KeyPress(WORD vk, bool shift, bool ctrl, bool alt);

// ---- pictures (capture.cpp) ------------------------------------------------

struct Image {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;  // 0x00RRGGBB, top row first
};

Image CaptureScreen(const RECT& area);
void WriteBmp(const std::string& path, const Image& image);
// hand, exclamation, information, question, none, or unknown: found by
// comparing the icon static's pixels with the system icons drawn here.
std::string ClassifyMessageBoxIcon(HWND box);
// A Unix path ("/tmp/x.bmp") becomes the Wine DOS path; others unchanged.
std::wstring ToWindowsPath(const std::string& path);

// ---- commands (commands.cpp) -----------------------------------------------

// Runs one command line and returns the reply line (without newline).
// Sets *quit when the command was "quit".
std::string RunCommandLine(const std::string& line, bool* quit);
// The command language: the syntax, then every verb with its usage.
const std::string& HelpText();

}  // namespace uidriver
