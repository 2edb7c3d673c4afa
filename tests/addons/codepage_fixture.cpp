#include "codepage_fixture.h"

#include <cstring>

#include "app_state.h"
#include "commands.h"
#include "payload_catalogue.h"
#include "payload_rows.h"

DWORD FakeAddonFiles::Connect(const char* remoteName) {
  connects.push_back(remoteName);
  return connectFails ? ERROR_BAD_NETPATH : NO_ERROR;
}

void* FakeAddonFiles::OpenForWrite(const char* path) {
  if (Hits(failOpen, path)) return nullptr;
  open_.push_back(new Open{path, {}});
  return open_.back();
}

size_t FakeAddonFiles::Write(void* file, const void* data, size_t size) {
  Open* f = static_cast<Open*>(file);
  if (Hits(shortWrite, f->path) && size > 0) --size;
  const uint8_t* p = static_cast<const uint8_t*>(data);
  f->bytes.insert(f->bytes.end(), p, p + size);
  return size;
}

int FakeAddonFiles::Close(void* file) {
  Open* f = static_cast<Open*>(file);
  files[f->path] = f->bytes;
  written.push_back(f->path);
  const int result = Hits(failClose, f->path) ? EOF : 0;
  for (auto it = open_.begin(); it != open_.end(); ++it)
    if (*it == f) {
      open_.erase(it);
      break;
    }
  delete f;
  return result;
}

int FakeAddonFiles::Remove(const char* path) {
  removed.push_back(path);
  return files.erase(path) == 1 ? 0 : -1;
}

BOOL FakeAddonFiles::CopyFailIfExists(const char* from, const char* to) {
  copies.emplace_back(from, to);
  if (Hits(failCopy, to) || files.count(to) != 0 || files.count(from) == 0) return FALSE;
  files[to] = files[from];
  return TRUE;
}

BOOL FakeAddonFiles::Exists(const char* path) { return !Hits(vanish, path) && files.count(path) != 0; }

int FakeAddonFiles::MakeFolder(const char*) { return 0; }
int FakeAddonFiles::RemoveFolder(const char*) { return 0; }

void AddonTest::SetUp() {
  AppTest::SetUp();
  SetClock(&quick);
  SetAddonFiles(&files);
  std::memset(&AddonFlowState, 0, sizeof AddonFlowState);
  fwtest::SetModalWatchdog(5000);

  net.Add(device);
  SelectDevice(device);
  CopyTextField(CurrentDeviceAddress, device.ip.c_str());
  // The add-on queries: disk status, code page, first volume.
  net.onRequest = [this](const SeenRequest& r) {
    if (r.type != kQueryRequest) return;
    const std::string* text = r.code == kCodeDiskStatus  ? &addon.diskStatus
                              : r.code == kCodeCodePage  ? &addon.codePage
                              : r.code == kCodeShareName ? &addon.shareName
                                                         : nullptr;
    if (text != nullptr && !text->empty()) sockets.Queue(0, QueryReply(device.ip, *text));
  };
}

void AddonTest::TearDown() {
  net.onRequest = nullptr;
  SetAddonFiles(nullptr);
  std::memset(&AddonFlowState, 0, sizeof AddonFlowState);
  AppTest::TearDown();
}

std::vector<std::string> AddonTest::SetTexts(uint8_t code) const {
  std::vector<std::string> texts;
  for (const SeenRequest& r : net.Of(kSetRequest, code)) {
    const Bytes data = r.Data();
    texts.emplace_back(data.begin(), data.end());
  }
  return texts;
}

size_t AddonTest::Queries(uint8_t code) const { return net.Of(kQueryRequest, code).size(); }

std::vector<std::string> AddonTest::Started() const {
  std::vector<std::string> started;
  for (const auto& exec : shell.execs) started.push_back(exec.first + (exec.second == SW_HIDE ? " (hidden)" : " (shown)"));
  return started;
}

Bytes CatalogueBytesOf(const std::string& name) {
  for (size_t i = 0; i < kPayloadRowCount; ++i) {
    if (name != kPayloadRows[i].writtenAs) continue;
    const PayloadView v = LookupPayload(kPayloadRows[i].kind, kPayloadRows[i].number);
    return Bytes(v.data, v.data + v.size);
  }
  return {};
}
