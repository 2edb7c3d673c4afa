#include "codepage_fixture.h"

#include <cstring>

#include "app_state.h"
#include "commands.h"
#include "payload_catalogue.h"
#include "payload_rows.h"

void AddonTest::SetUp() {
  AppTest::SetUp();
  SetClock(&quick);
  SetAddonFiles(&files);
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
