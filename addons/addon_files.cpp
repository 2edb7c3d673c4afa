#include "addon_files.h"

#include <direct.h>
#include <shlwapi.h>

#include <cstdio>

#include "drive_table.h"
#include "ui_wait.h"

// Each call reaches a share over the network and can take seconds for a
// device that went away: it runs on a short worker thread while the
// windows stay served (ui_wait.h), one call after the other.

namespace {
AddonFiles* g_active = nullptr;
}

DWORD AddonFiles::Connect(const char* remoteName) {
  // Windows networking has one home, the drive platform (which serves the
  // windows while the call runs).
  return ActiveDrivePlatform().AddConnection({kResourceTypeAny, nullptr, remoteName, nullptr}, "", "", 0);
}

void* AddonFiles::OpenForWrite(const char* path) {
  return CallServingWindows([&] { return static_cast<void*>(std::fopen(path, "wb")); });
}

size_t AddonFiles::Write(void* file, const void* data, size_t size) {
  return CallServingWindows([&] { return std::fwrite(data, 1, size, static_cast<FILE*>(file)); });
}

int AddonFiles::Close(void* file) {
  return CallServingWindows([&] { return std::fclose(static_cast<FILE*>(file)); });
}

int AddonFiles::Remove(const char* path) {
  return CallServingWindows([&] { return std::remove(path); });
}

BOOL AddonFiles::CopyFailIfExists(const char* from, const char* to) {
  return CallServingWindows([&] { return ::CopyFileA(from, to, TRUE); });
}

BOOL AddonFiles::Exists(const char* path) {
  return CallServingWindows([&] { return ::PathFileExistsA(path); });
}

int AddonFiles::MakeFolder(const char* path) {
  return CallServingWindows([&] { return _mkdir(path); });
}

int AddonFiles::RemoveFolder(const char* path) {
  return CallServingWindows([&] { return _rmdir(path); });
}

AddonFiles& SystemAddonFiles() {
  static AddonFiles system;
  return system;
}

void SetAddonFiles(AddonFiles* files) { g_active = files; }

AddonFiles& ActiveAddonFiles() { return g_active != nullptr ? *g_active : SystemAddonFiles(); }
