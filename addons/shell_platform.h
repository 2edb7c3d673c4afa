// The shell and local-file calls of the add-on flows, which tests play
// instead of the system: opening a document with its registered program,
// starting a command line, writing a small text file and making or removing
// a local folder.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

class ShellPlatform {
public:
  virtual ~ShellPlatform() = default;
  // ::ShellExecuteA(owner, "open", file, no parameters, no directory,
  // SW_SHOWNORMAL); a result above 32 is success.
  virtual INT_PTR OpenDocument(HWND owner, const char* file);
  // ::WinExec(commandLine, SW_HIDE); a result above 31 is success.
  virtual UINT RunHidden(const char* commandLine);
  // Creates or truncates path in text mode and writes text without a line
  // end. True only when the file opened, every byte was written and it
  // closed without error.
  virtual bool WriteTextFile(const char* path, const char* text);
  // _mkdir / _rmdir: 0 on success.
  virtual int MakeFolder(const char* path);
  virtual int RemoveFolder(const char* path);
};

// The system's calls.
ShellPlatform& SystemShellPlatform();
// Installs a platform (not owned); nullptr goes back to the system's.
void SetShellPlatform(ShellPlatform* platform);
ShellPlatform& ActiveShellPlatform();
