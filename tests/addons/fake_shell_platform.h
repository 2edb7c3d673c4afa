// A shell platform that records what the add-on flows ask of the shell and
// the local disk, and answers as a test sets it.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "shell_platform.h"

class FakeShellPlatform : public ShellPlatform {
public:
  INT_PTR OpenDocument(HWND, const char* file) override {
    opened.push_back(file);
    return openResult;
  }
  UINT RunHidden(const char* commandLine) override {
    commands.push_back(commandLine);
    return 33;
  }
  bool WriteTextFile(const char* path, const char* text) override {
    if (!writeSucceeds) return false;
    files[path] = text;
    return true;
  }
  int MakeFolder(const char* path) override {
    madeFolders.push_back(path);
    return 0;
  }
  int RemoveFolder(const char* path) override {
    removedFolders.push_back(path);
    return 0;
  }

  INT_PTR openResult = 42;
  bool writeSucceeds = true;
  std::vector<std::string> opened;
  std::vector<std::string> commands;
  std::map<std::string, std::string> files;
  std::vector<std::string> madeFolders;
  std::vector<std::string> removedFolders;
};
