// Test support of the add-on installers: a file layer kept in memory, a
// device that answers the add-on queries, and a fixture that runs them.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "addon_files.h"
#include "addon_state.h"
#include "app_fixture.h"

// The installers' file and network calls, played in memory. Paths are kept
// as the program wrote them.
class FakeAddonFiles : public AddonFiles {
public:
  std::map<std::string, Bytes> files;
  std::vector<std::string> written;  // paths of completed writes, in order
  std::vector<std::string> connects;
  std::vector<std::string> removed;
  std::vector<std::pair<std::string, std::string>> copies;

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
  std::vector<Open*> open_;
  static bool Hits(const std::string& fault, const std::string& path) {
    return !fault.empty() && path.find(fault) != std::string::npos;
  }
};

// What a device answers to the add-on queries; an empty text is no answer.
struct AddonDevice {
  std::string diskStatus = "3";
  std::string codePage = "850";
  std::string shareName = "HDD_a";
};

class AddonTest : public AppTest {
protected:
  void SetUp() override;
  void TearDown() override;

  // Texts of the set requests with this command code, in order.
  std::vector<std::string> SetTexts(uint8_t code) const;
  // Number of query requests with this command code.
  size_t Queries(uint8_t code) const;
  // Command lines started, each with its show flag: "... (hidden)".
  std::vector<std::string> Started() const;

  // The run starts 300 ms after its window shows instead of 2 s.
  class QuickClock : public FakeClock {
  public:
    unsigned TimerPeriod(unsigned) override { return period; }
    unsigned period = 300;  // well after the seam gives the window its action
  } quick;
  FakeAddonFiles files;
  AddonDevice addon;
  SimDevice device;
};

// The catalogue bytes of the row written under name, empty when none.
Bytes CatalogueBytesOf(const std::string& name);
