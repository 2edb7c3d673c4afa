#include "addon_files.h"

#include <direct.h>
#include <shlwapi.h>
#include <winnetwk.h>

#include <cstdio>

namespace {
AddonFiles* g_active = nullptr;
}

DWORD AddonFiles::Connect(const char* remoteName) {
  NETRESOURCEA resource = {};
  resource.dwType = RESOURCETYPE_ANY;
  resource.lpLocalName = nullptr;
  resource.lpRemoteName = const_cast<char*>(remoteName);
  resource.lpProvider = nullptr;
  return ::WNetAddConnection2A(&resource, "", "", 0);
}

void* AddonFiles::OpenForWrite(const char* path) { return std::fopen(path, "wb"); }

size_t AddonFiles::Write(void* file, const void* data, size_t size) {
  return std::fwrite(data, 1, size, static_cast<FILE*>(file));
}

int AddonFiles::Close(void* file) { return std::fclose(static_cast<FILE*>(file)); }

int AddonFiles::Remove(const char* path) { return std::remove(path); }

BOOL AddonFiles::CopyFailIfExists(const char* from, const char* to) { return ::CopyFileA(from, to, TRUE); }

BOOL AddonFiles::Exists(const char* path) { return ::PathFileExistsA(path); }

int AddonFiles::MakeFolder(const char* path) { return _mkdir(path); }

int AddonFiles::RemoveFolder(const char* path) { return _rmdir(path); }

AddonFiles& SystemAddonFiles() {
  static AddonFiles system;
  return system;
}

void SetAddonFiles(AddonFiles* files) { g_active = files; }

AddonFiles& ActiveAddonFiles() { return g_active != nullptr ? *g_active : SystemAddonFiles(); }
