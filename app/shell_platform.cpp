#include "shell_platform.h"

#include <shellapi.h>

#include <cstdio>
#include <cstring>

namespace {
ShellPlatform* active = nullptr;
}  // namespace

UINT ShellPlatform::Exec(const char* commandLine, UINT show) { return ::WinExec(commandLine, show); }

INT_PTR ShellPlatform::OpenDocument(HWND owner, const char* file) {
  return reinterpret_cast<INT_PTR>(::ShellExecuteA(owner, "open", file, nullptr, nullptr, SW_SHOWNORMAL));
}

bool ShellPlatform::WriteTextFile(const char* path, const char* text) {
  FILE* file = std::fopen(path, "w");
  if (file == nullptr) return false;
  const size_t length = std::strlen(text);
  const bool written = std::fwrite(text, 1, length, file) == length;
  const bool closed = std::fclose(file) == 0;
  return written && closed;
}

ShellPlatform& SystemShellPlatform() {
  static ShellPlatform system;
  return system;
}

void SetShellPlatform(ShellPlatform* platform) { active = platform; }

ShellPlatform& ActiveShellPlatform() { return active != nullptr ? *active : SystemShellPlatform(); }
