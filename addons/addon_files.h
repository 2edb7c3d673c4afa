// The file and network calls of the add-on installers, which tests play
// instead of the system: connecting a device share, whole-file writes,
// delete, copy, existence and the local staging folder. (Programs start
// through ShellPlatform.)
#pragma once
#include <cstddef>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

class AddonFiles {
public:
  virtual ~AddonFiles() = default;
  // WNetAddConnection2A, through the drive platform (drive_table.h), for the
  // resource remoteName (type any, no local name, no provider, empty user
  // name and password, no flags).
  virtual DWORD Connect(const char* remoteName);
  // fopen(path, "wb"); null when it cannot be opened.
  virtual void* OpenForWrite(const char* path);
  // fwrite of size bytes; the number of bytes written.
  virtual size_t Write(void* file, const void* data, size_t size);
  // fclose; 0 when every buffered byte reached the file.
  virtual int Close(void* file);
  // remove(); 0 on success.
  virtual int Remove(const char* path);
  // ::CopyFileA(from, to, TRUE): fails when `to` exists.
  virtual BOOL CopyFailIfExists(const char* from, const char* to);
  // ::PathFileExistsA.
  virtual BOOL Exists(const char* path);
  // _mkdir and _rmdir; 0 on success.
  virtual int MakeFolder(const char* path);
  virtual int RemoveFolder(const char* path);
};

// The system's calls.
AddonFiles& SystemAddonFiles();
// Installs a file layer (not owned); nullptr goes back to the system's.
void SetAddonFiles(AddonFiles* files);
AddonFiles& ActiveAddonFiles();
