#include "disk_status.h"

#include <cstdlib>

#include "addon_messages.h"
#include "app_state.h"
#include "commands.h"
#include "framework.h"
#include "web_config.h"

// strtol, not atoi: the text comes from the device, and atoi's result for a
// number out of range is undefined; strtol clamps it.
int DiskStatusValue(const char* text) { return static_cast<int>(std::strtol(text, nullptr, 10)); }

bool DiskStatusIs(const char* text, DiskStatus status) { return text[0] == '0' + status && text[1] == '\0'; }

void MarkDiskReady() {
  const char ready[] = {static_cast<char>('0' + kReady), '\0'};
  CopyTextField(CommandBuffers.diskStatus, ready);
}

void ReportUnformattedDisk(HWND owner) {
  AfxMessageBox(owner, kUnformattedMessage, nullptr, MB_OK);
  OpenWithExplorer(DeviceWebUrl(CurrentDeviceAddress, nullptr));
}
