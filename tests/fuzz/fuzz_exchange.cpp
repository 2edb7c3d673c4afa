// Reply datagrams through the exchange of every device command: the
// fuzzer's bytes are the selected device's replies (and receive faults).
// Checks that the texts the commands store stay terminated in their
// buffers and that the share list holds only non-empty names.
#include <cstdlib>
#include <cstring>

#include "commands.h"
#include "fuzz_sockets.h"
#include "text_copy.h"

namespace {

template <size_t N>
void CheckTerminated(const char (&field)[N]) {
  if (BoundedLength(field, N) >= N) std::abort();
}

using Command = int (*)();
const Command kCommands[] = {
    CheckAdminLogin,
    QueryShareList,
    QueryWorkgroup,
    QueryCodePage,
    QueryDiskStatus,
    QueryShareName,
    QueryBtFirmware,
    QueryDomain,
    QuerySslMode,
    QueryLanConfig,
    SetDhcpClient,
    ApplyLanSettings,
    SetMountMode,
    SendStopCommand,
    SetWorkgroup,
    SetCodePage,
    RegisterAddon,
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  FuzzedDataProvider data(bytes, size);
  fuzz::Install();
  fuzz::SelectOneDevice();
  const size_t pick = data.ConsumeIntegralInRange<size_t>(0, std::size(kCommands) - 1);
  const bool stamp = data.ConsumeBool();
  CopyTextField(CommandBuffers.targetIp, data.ConsumeBool() ? "192.168.0.40" : "bad");
  CopyTextField(CommandBuffers.netmask, "255.255.255.0");
  CopyTextField(CommandBuffers.gateway, "192.168.0.1");
  CopyTextField(CommandBuffers.adminUser, "admin");
  fuzz::FillScript(data, stamp);

  kCommands[pick]();

  CheckTerminated(CommandBuffers.workgroup);
  CheckTerminated(CommandBuffers.codePage);
  CheckTerminated(CommandBuffers.sslMode);
  CheckTerminated(CommandBuffers.shareName);
  CheckTerminated(CommandBuffers.diskStatus);
  CheckTerminated(CommandBuffers.btFirmware);
  CheckTerminated(CommandBuffers.domain);
  int count = 0;
  for (ShareEntry* e = ShareList.head; e; e = e->next, ++count)
    if (e->name[0] == 0 || BoundedLength(e->name, sizeof e->name) >= sizeof e->name) std::abort();
  if (count != ShareList.count) std::abort();
  ClearShareList();
  return 0;
}
