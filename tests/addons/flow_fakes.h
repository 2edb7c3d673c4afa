// The installers' file calls with an in-memory disk.
#pragma once
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "addon_files.h"

// Files by path (local and UNC alike), folders made and removed.
// Paths in refusedCopies make the copy to them fail.
class FakeAddonFiles : public AddonFiles {
public:
  DWORD Connect(const char* remoteName) override {
    connects.push_back(remoteName);
    return NO_ERROR;
  }
  void* OpenForWrite(const char* path) override {
    if (refusedOpens.count(path)) return nullptr;
    files[path].clear();
    open.push_back(path);
    return reinterpret_cast<void*>(open.size());
  }
  size_t Write(void* file, const void* data, size_t size) override {
    const std::string& path = open[reinterpret_cast<size_t>(file) - 1];
    files[path].append(static_cast<const char*>(data), size);
    return size;
  }
  int Close(void*) override { return 0; }
  int Remove(const char* path) override {
    removed.push_back(path);
    return files.erase(path) ? 0 : -1;
  }
  BOOL CopyFailIfExists(const char* from, const char* to) override {
    if (files.count(to) || !files.count(from) || refusedCopies.count(to)) return FALSE;
    files[to] = files[from];
    copies.emplace_back(from, to);
    return TRUE;
  }
  BOOL Exists(const char* path) override { return files.count(path) ? TRUE : FALSE; }
  int MakeFolder(const char* path) override {
    madeFolders.push_back(path);
    return 0;
  }
  int RemoveFolder(const char* path) override {
    removedFolders.push_back(path);
    return 0;
  }

  std::map<std::string, std::string> files;
  std::set<std::string> refusedOpens;
  std::set<std::string> refusedCopies;
  std::vector<std::string> open;
  std::vector<std::string> connects;
  std::vector<std::string> removed;
  std::vector<std::pair<std::string, std::string>> copies;
  std::vector<std::string> madeFolders;
  std::vector<std::string> removedFolders;
};
