// The shell calls of the program, which tests play instead of the system:
// starting a command line, opening a document with its registered program,
// and writing a small text file. The web launcher, the add-on flows and the
// widget launcher start everything through here.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

class ShellPlatform {
public:
  virtual ~ShellPlatform() = default;
  // ::WinExec: above 31 when the program started, else the error code.
  virtual UINT Exec(const char* commandLine, UINT show);
  // ::ShellExecuteA(owner, "open", file, no parameters, no directory,
  // SW_SHOWNORMAL); a result above 32 is success.
  virtual INT_PTR OpenDocument(HWND owner, const char* file);
  // Creates or truncates path in text mode and writes text without a line
  // end. True only when the file opened, every byte was written and it
  // closed without error.
  virtual bool WriteTextFile(const char* path, const char* text);
};

// The system's calls.
ShellPlatform& SystemShellPlatform();
// Installs a platform (not owned); nullptr goes back to the system's.
void SetShellPlatform(ShellPlatform* platform);
ShellPlatform& ActiveShellPlatform();
