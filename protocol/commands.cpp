#include "commands.h"

#include <cstring>
#include <new>

#include "address_text.h"
#include "discovery.h"
#include "record_list.h"
#include "requests.h"
#include "text_copy.h"
#include "transport.h"

CommandBuffersRecord CommandBuffers = {};
ShareListRecord ShareList = {0, nullptr, nullptr};

namespace {

// Reply-text length above which a LAN configuration reply is refused.
constexpr size_t kLanConfigTextMax = 515;

// Length of a text held in a fixed field, which may fill the field without
// a terminator; never reads past the field.
template <size_t N>
size_t FieldLength(const char (&field)[N]) {
  return BoundedLength(field, N);
}

// selectedIp as a terminated text (it holds 16 bytes and may lack a
// terminator when it is 16 characters long).
struct SelectedAddress {
  char text[kAddressText + 1];
  SelectedAddress() { CopyField(text, sizeof text, CommandBuffers.selectedIp, kAddressText); }
};

NasDevice* FindSelectedDevice(const SelectedAddress& selected) {
  return FindDeviceByAddress(selected.text);
}

void Identity(const NasDevice& d, uint8_t out[10]) {
  std::memcpy(out, d.mac, 6);
  std::memcpy(out + 6, d.ipBytes, 4);
}

// What distinguishes one exchange from another.
struct Exchange {
  int drainPolls;
  uint8_t expectedReply;
  bool fromSelected;  // the reply's header address must equal selectedIp
  int tryLimit;
};

// Runs one exchange with the selected device: drain, send the request that
// `build` makes, wait for the reply. The reply lands in `reply`
// (kPacketBuffer + 1 bytes). On success `target` is the device's record.
template <typename Build>
bool RunExchange(const Exchange& x, Build build, uint8_t* reply, NasDevice** target = nullptr) {
  const SelectedAddress selected;
  NasDevice* device = FindSelectedDevice(selected);
  if (!device) return false;  // nothing sent, nothing drained
  const int i = device->interfaceIndex;
  if (x.drainPolls > 0) DrainReceiveSocket(i, x.drainPolls);

  uint8_t request[kPacketBuffer];
  uint8_t identity[10];
  Identity(*device, identity);
  std::memset(reply, 0, kPacketBuffer + 1);
  const size_t length = build(request, identity);
  SendPacket(i, request, length);
  if (!AwaitReply(i, x.expectedReply, x.fromSelected ? selected.text : nullptr, x.tryLimit, reply))
    return false;
  if (target) *target = device;
  return true;
}

const char* ReplyText(const uint8_t* reply) {
  return reinterpret_cast<const char*>(reply + ProtocolPacket::kQueryData);
}

// Query without data (code) whose reply text is stored into dst and traced.
template <size_t N>
int TextQuery(CommandCode code, int drainPolls, int tryLimit, char (&dst)[N], const char* traceFormat) {
  uint8_t reply[kPacketBuffer + 1];
  const Exchange x{drainPolls, kQueryReply, true, tryLimit};
  const bool ok = RunExchange(
      x,
      [code](uint8_t* buffer, const uint8_t* identity) {
        return BuildQueryRequest(buffer, identity, code, nullptr, 0);
      },
      reply);
  if (!ok) return 0;
  CopyTextField(dst, ReplyText(reply));  // cut to the buffer's capacity
  Trace(traceFormat, dst);
  return 1;
}

// Set command whose data is the text of a CommandBuffers field, with the
// netmask and gateway of CommandBuffers in the header; the reply must come
// from the selected device.
template <size_t N>
int TextSet(CommandCode code, const char (&text)[N]) {
  uint8_t reply[kPacketBuffer + 1];
  const Exchange x{0, kSetReply, true, 10};
  const bool ok = RunExchange(
      x,
      [code, &text](uint8_t* buffer, const uint8_t* identity) {
        return BuildSetRequest(buffer, identity, code, CommandBuffers.netmask, CommandBuffers.gateway,
                               text, FieldLength(text));
      },
      reply);
  return ok ? 1 : 0;
}

// strtok-style tokenizer over a text it may modify: runs of ':' count as
// one separator, leading ones are skipped.
class Tokens {
public:
  explicit Tokens(char* text) : m_p(text) {}
  char* Next() {
    while (*m_p == ':') ++m_p;
    if (*m_p == 0) return nullptr;
    char* start = m_p;
    while (*m_p != 0 && *m_p != ':') ++m_p;
    if (*m_p == ':') *m_p++ = 0;
    return start;
  }

private:
  char* m_p;
};

// Stores one token into a field, refusing a token that does not fit.
template <size_t N>
bool StoreToken(char (&field)[N], const char* token) {
  if (std::strlen(token) > N - 1) return false;
  CopyTextField(field, token);
  return true;
}

bool StorePort(Tokens& tokens, LanPortConfig& port) {
  const char* t[5];
  for (auto& token : t)
    if (!(token = tokens.Next())) return false;
  const char* gateway = std::strcmp(t[3], "NULL") == 0 ? "" : t[3];
  return StoreToken(port.name, t[0]) && StoreToken(port.address, t[1]) &&
         StoreToken(port.netmask, t[2]) && StoreToken(port.gateway, gateway) &&
         StoreToken(port.mode, t[4]);
}

// Moves the record found by the old selected address, and the selection,
// to a new address. newAddress nullptr keeps record and selection at their
// address and changes only netmask and gateway (nullptr: kept as well).
void MoveSelectedRecord(const char* newAddress, const uint8_t octets[4], const char* netmask,
                        const char* gateway) {
  const SelectedAddress selected;
  NasDevice* d = FindDeviceByAddress(selected.text);
  if (d) {
    if (newAddress) {
      CopyTextField(d->ipText, newAddress);
      std::memcpy(d->ipBytes, octets, 4);
    }
    if (netmask) CopyField(d->netmask, sizeof d->netmask, netmask, kAddressText);
    if (gateway) CopyField(d->gateway, sizeof d->gateway, gateway, kAddressText);
  }
  if (newAddress)
    CopyField(CommandBuffers.selectedIp, sizeof CommandBuffers.selectedIp, newAddress, kAddressText);
}

}  // namespace

void ClearShareList() { FreeRecords(ShareList); }

// Refuses (false, *out untouched) a text longer than 515 characters, one
// with fewer tokens than the record needs, and one with a token longer
// than its field: the record is sent back to the device as it stands, so a
// partly filled or cut record would change the device's settings.
bool ParseLanConfig(const char* text, LanConfig* out) {
  if (!text || !out) return false;
  const size_t length = std::strlen(text);
  if (length > kLanConfigTextMax) return false;

  // Empty fields ("a::b") become "NULL" so that the tokenizer keeps them.
  char expanded[kLanConfigTextMax * 5 + 1];
  size_t o = 0;
  for (size_t k = 0; k < length; ++k) {
    expanded[o++] = text[k];
    if (text[k] == ':' && text[k + 1] == ':') {
      std::memcpy(expanded + o, "NULL", 4);
      o += 4;
    }
  }
  expanded[o] = 0;

  LanConfig parsed = *out;  // the second half stays as it was for one port
  Tokens tokens(expanded);
  if (!StorePort(tokens, parsed.port[0])) return false;
  if (std::strcmp(parsed.port[0].name, "LAN1") == 0 && !StorePort(tokens, parsed.port[1]))
    return false;
  *out = parsed;
  return true;
}

int CheckAdminLogin() {
  uint8_t reply[kPacketBuffer + 1];
  const Exchange x{0, kQueryReply, true, 10};
  const bool ok = RunExchange(
      x,
      [](uint8_t* buffer, const uint8_t* identity) {
        // user name, 0x55 0xAA, password; no terminators
        uint8_t data[sizeof CommandBuffers.adminUser + 2 + sizeof CommandBuffers.adminPassword];
        const size_t user = FieldLength(CommandBuffers.adminUser);
        const size_t password = FieldLength(CommandBuffers.adminPassword);
        std::memcpy(data, CommandBuffers.adminUser, user);
        data[user] = 0x55;
        data[user + 1] = 0xAA;
        std::memcpy(data + user + 2, CommandBuffers.adminPassword, password);
        return BuildQueryRequest(buffer, identity, kCodeAdminLogin, data, user + 2 + password);
      },
      reply);
  if (!ok) return 0;
  return static_cast<signed char>(reply[ProtocolPacket::kQueryData]);
}

int QueryShareList() {
  {
    const SelectedAddress selected;
    if (!FindSelectedDevice(selected)) return 0;  // list untouched
  }
  ClearShareList();
  uint8_t reply[kPacketBuffer + 1];
  const Exchange x{11, kQueryReply, true, 20};
  const bool ok = RunExchange(
      x,
      [](uint8_t* buffer, const uint8_t* identity) {
        return BuildQueryRequest(buffer, identity, kCodeShareList, nullptr, 0);
      },
      reply);
  if (!ok) return 0;
  Tokens tokens(reinterpret_cast<char*>(reply + ProtocolPacket::kQueryData));
  for (const char* token; (token = tokens.Next());) {
    char name[sizeof(ShareEntry::name)];
    CopyTextField(name, token);  // cut to 255 characters
    bool known = false;
    for (ShareEntry* e = ShareList.head; e && !known; e = e->next)
      known = std::strcmp(e->name, name) == 0;
    if (known) continue;
    ShareEntry* entry = new (std::nothrow) ShareEntry();
    if (!entry) continue;  // skipped
    std::memcpy(entry->name, name, sizeof name);
    AppendRecord(ShareList, entry);
  }
  return 1;
}

int QueryWorkgroup() { return TextQuery(kCodeWorkgroup, 6, 10, CommandBuffers.workgroup, "workgroup=%s\n"); }
int QueryCodePage() { return TextQuery(kCodeCodePage, 11, 10, CommandBuffers.codePage, "codepage=%s\n"); }
int QueryDiskStatus() { return TextQuery(kCodeDiskStatus, 11, 20, CommandBuffers.diskStatus, "ideok=%s\n"); }
int QueryShareName() { return TextQuery(kCodeShareName, 11, 20, CommandBuffers.shareName, "sharename=%s\n"); }
int QueryBtFirmware() { return TextQuery(kCodeBtFirmware, 11, 20, CommandBuffers.btFirmware, "bt_firmware=%s\n"); }
int QueryDomain() { return TextQuery(kCodeDomain, 11, 20, CommandBuffers.domain, "domain=%s\n"); }
int QuerySslMode() { return TextQuery(kCodeSslMode, 11, 20, CommandBuffers.sslMode, "ssl=%s\n"); }

int QueryLanConfig() {
  uint8_t reply[kPacketBuffer + 1];
  const Exchange x{11, kQueryReply, true, 20};
  const bool ok = RunExchange(
      x,
      [](uint8_t* buffer, const uint8_t* identity) {
        return BuildQueryRequest(buffer, identity, kCodeLanConfig, nullptr, 0);
      },
      reply);
  if (!ok) return 0;
  const char* text = ReplyText(reply);
  if (text[0] == 0) {
    // A device without per-port configuration.
    CommandBuffers.lanConfig.port[0].name[0] = 0;
    return 1;
  }
  return ParseLanConfig(text, &CommandBuffers.lanConfig) ? 1 : 0;
}

int SetDhcpClient() {
  uint8_t reply[kPacketBuffer + 1];
  const Exchange x{0, kSetReply, false, 100};
  const bool ok = RunExchange(
      x,
      [](uint8_t* buffer, const uint8_t* identity) {
        const LanConfig& c = CommandBuffers.lanConfig;
        const bool present = IsLanConfigPresent(c);
        return BuildSetRequest(buffer, identity, kCodeDhcpClient, nullptr, nullptr, present ? &c : nullptr,
                               present ? sizeof c : 0);
      },
      reply);
  if (!ok) return 0;
  // The device names in the header the address it now has.
  char now[kAddressText];
  FormatDeviceAddress(reply, now);
  MoveSelectedRecord(now, reply + ProtocolPacket::kDeviceAddress, nullptr, nullptr);
  return 1;
}

int ApplyLanSettings() {
  // targetIp need not be an address: a two-port device whose first port
  // reported none holds "NULL" there while its other port is changed.
  // The request goes out all the same; only the move of the record and
  // the selection to targetIp needs an address.
  char target[kAddressText + 1];
  CopyField(target, sizeof target, CommandBuffers.targetIp, kAddressText);
  uint8_t octets[4];
  const bool targetIsAddress = ParseAddressText(target, octets);

  uint8_t reply[kPacketBuffer + 1];
  const Exchange x{0, kSetReply, false, 300};
  const bool ok = RunExchange(
      x,
      [&target](uint8_t* buffer, const uint8_t* identity) {
        const LanConfig& c = CommandBuffers.lanConfig;
        if (IsLanConfigPresent(c))
          return BuildSetRequest(buffer, identity, kCodeSetLanConfig, CommandBuffers.netmask,
                                 CommandBuffers.gateway, &c, sizeof c);
        return BuildSetRequest(buffer, identity, kCodeStaticAddress, CommandBuffers.netmask,
                               CommandBuffers.gateway, target, std::strlen(target));
      },
      reply);
  if (!ok) return 0;
  MoveSelectedRecord(targetIsAddress ? target : nullptr, octets, CommandBuffers.netmask,
                     CommandBuffers.gateway);
  return 1;
}

int SetMountMode() { return TextSet(kCodeMountMode, CommandBuffers.mountMode); }
int SendStopCommand() { return TextSet(kCodeStopService, CommandBuffers.serviceCommand); }
int SetWorkgroup() { return TextSet(kCodeSetWorkgroup, CommandBuffers.workgroup); }
int SetCodePage() { return TextSet(kCodeSetCodePage, CommandBuffers.codePage); }
int RegisterAddon() { return TextSet(kCodeRegisterAddon, CommandBuffers.addonName); }
