// Device commands. Each reads its inputs from CommandBuffers, writes its
// results there (or into ShareList / DeviceList) and returns 1 on success,
// 0 on failure; none shows a message. A failure leaves every buffer as it
// was (QueryShareList has emptied ShareList by then). Reply texts longer
// than their buffer are cut to fit. Set requests other than SetDhcpClient
// carry the netmask and gateway of CommandBuffers. ApplyLanSettings with a
// targetIp that is not a dotted-decimal IPv4 address (a port reported
// without one holds "NULL") still sends; on success the record and the
// selection keep their address and take only the netmask and gateway.
#pragma once
#include <cstddef>
#include <cstdint>
#include "packet.h"

// The 120-byte two-port LAN configuration record, sent verbatim.
struct LanPortConfig {
  char name[10];
  char address[16];
  char netmask[16];
  char gateway[16];
  char mode[2];
};
struct LanConfig {
  LanPortConfig port[2];
};
static_assert(sizeof(LanConfig) == 120, "LanConfig is 120 bytes on the wire");

struct CommandBuffersRecord {
  char selectedIp[16];
  char targetIp[16];
  char netmask[16];
  char gateway[16];
  char adminUser[17];
  char adminPassword[17];
  LanConfig lanConfig;
  char workgroup[32];
  char codePage[64];
  char sslMode[8];
  char shareName[16];
  char diskStatus[8];
  char btFirmware[8];
  char domain[128];
  char mountMode[8];
  char serviceCommand[8];
  char addonName[8];
};
extern CommandBuffersRecord CommandBuffers;

inline bool IsLanConfigPresent(const LanConfig& c) { return c.port[0].name[0] != 0; }

struct ShareEntry {
  char name[256];
  ShareEntry* next;
};
struct ShareListRecord {
  int count;
  ShareEntry* head;
  ShareEntry* tail;
};
extern ShareListRecord ShareList;
void ClearShareList();

// Reply text of QueryLanConfig into lanConfig. Returns false when the text
// is refused, and *out is then left untouched: a text longer than 515
// characters, one with fewer than 5 tokens (10 when the first name is
// "LAN1"), or one with a token that does not fit its field. The record is
// sent back to the device as it stands, so it is never stored partly or
// cut. QueryLanConfig returns 0 for a refused text.
bool ParseLanConfig(const char* text, LanConfig* out);

int CheckAdminLogin();
int QueryShareList();
int QueryWorkgroup();
int QueryCodePage();
int QueryDiskStatus();
int QueryShareName();
int QueryBtFirmware();
int QueryDomain();
int QuerySslMode();
int QueryLanConfig();
int SetDhcpClient();
int ApplyLanSettings();
int SetMountMode();
int SendStopCommand();
int SetWorkgroup();
int SetCodePage();
int RegisterAddon();
