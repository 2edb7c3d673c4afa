// The add-on installers' file and network calls, played in memory, for the
// tests of the install run, the code-page flow and the BitTorrent flow.
#pragma once
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "addon_files.h"
#include "fakes.h"  // Bytes

// Files by path (local and UNC alike), kept as the program wrote them, with
// every call recorded and faults chosen by path.
class FakeAddonFiles : public AddonFiles {
public:
  std::map<std::string, Bytes> files;
  std::vector<std::string> written;  // paths of completed writes, in order
  std::vector<std::string> connects;
  std::vector<std::string> removed;
  std::vector<std::pair<std::string, std::string>> copies;  // every copy tried
  std::vector<std::string> madeFolders;
  std::vector<std::string> removedFolders;

  // Faults, each by path substring ("" none).
  std::string failOpen;  // OpenForWrite returns null
  std::string shortWrite;  // Write stores one byte less
  std::string failClose;  // Close reports an error (bytes kept)
  std::string failCopy;  // CopyFailIfExists fails (to path)
  std::string vanish;  // the file is gone before Exists
  bool connectFails = false;

  DWORD Connect(const char* remoteName) override;
  void* OpenForWrite(const char* path) override;
  size_t Write(void* file, const void* data, size_t size) override;
  int Close(void* file) override;
  int Remove(const char* path) override;
  BOOL CopyFailIfExists(const char* from, const char* to) override;
  BOOL Exists(const char* path) override;
  int MakeFolder(const char* path) override;
  int RemoveFolder(const char* path) override;

private:
  struct Open {
    std::string path;
    Bytes bytes;
  };
  std::vector<Open*> m_open;
  static bool Hits(const std::string& fault, const std::string& path) {
    return !fault.empty() && path.find(fault) != std::string::npos;
  }
};
