#include "lan_rules.h"

#include <cstdio>
#include <cstring>

#include "text_copy.h"

const LanMessage kNoDeviceSelectedMessage = {"Please select a device in the above section.", "Error",
                                             MessageIcon::Hand};
const LanMessage kDhcpFailedMessage = {"Set to dhcp client fail.", "Error", MessageIcon::Hand};
const LanMessage kWrongAdminPasswordMessage = {"Wrong administrator password input!", "Error",
                                               MessageIcon::Hand};
const LanMessage kDhcpEnabledMessage = {"DHCP client enabled.", "Confirm", MessageIcon::Information};

namespace {

const LanMessage kAddressBlank = {"Please input IP address!", "Warning", MessageIcon::Exclamation};
const LanMessage kNetmaskBlank = {"Please input net mask address!", "Warning", MessageIcon::Exclamation};
const LanMessage kLoopbackAddress = {"IP address input error. Please try again.", "Warning",
                                     MessageIcon::Exclamation};
const LanMessage kNetmaskShape = {"Netmask address input invalid. Please try again.", "Error",
                                  MessageIcon::Hand};
const LanMessage kBadCombination = {"You enter incorrect TCP/IP configuration. Please try again.", "Error",
                                    MessageIcon::Hand};

// Field messages by kind (address, netmask, gateway) and field; all with
// caption "Error" and the information icon.
const char* const kFieldMessages[3][4] = {
    {"Invalid IP address in 1st digit. It should be 1-223.",
     "Invalid IP address in 2nd digit. It should be 0-255.",
     "Invalid IP address in 3rd digit. It should be 0-255.",
     "Invalid IP address in 4th digit. It should be 0-255."},
    {"Invalid subnet mask address in 1st digit. It should be 0-255.",
     "Invalid subnet mask address in 2nd digit. It should be 0-255.",
     "Invalid subnet mask address in 3rd digit. It should be 0-255.",
     "Invalid subnet mask address in 4th digit. It should be 0-255."},
    {"Invalid gateway IP address in 1st digit. It should be 1-223.",
     "Invalid gateway IP address in 2nd digit. It should be 0-255.",
     "Invalid gateway IP address in 3rd digit. It should be 0-255.",
     "Invalid gateway IP address in 4th digit. It should be 0-255."},
};

LanCheckResult Passed() { return {true, nullptr, nullptr, MessageIcon::Information, AddressField::None, -1}; }

LanCheckResult Failed(const LanMessage& m, AddressField control, int field = -1) {
  return {false, m.text, m.caption, m.icon, control, field};
}

// Copies four fields, reading a missing array as zeros.
struct Quad {
  int v[4];
};
Quad Read(const int f[4]) {
  Quad q{{0, 0, 0, 0}};
  if (f != nullptr) {
    for (int i = 0; i < 4; ++i) q.v[i] = f[i];
  }
  return q;
}

bool InByteRange(int v) { return v >= 0 && v <= 255; }

bool IsLinkLocal(const Quad& a) { return a.v[0] == 169 && a.v[1] == 254; }

bool IsZero(const Quad& q) { return q.v[0] == 0 && q.v[1] == 0 && q.v[2] == 0 && q.v[3] == 0; }

template <size_t N>
void StageDotted(char (&field)[N], const int f[4]) {
  char text[64];
  std::snprintf(text, sizeof text, "%d.%d.%d.%d", f[0], f[1], f[2], f[3]);
  CopyTextField(field, text);
}

}  // namespace

LanCheckResult CheckAddressFieldsRule(AddressField kind, const int f[4], bool blank) {
  if (kind != AddressField::Address && kind != AddressField::Netmask && kind != AddressField::Gateway)
    return Passed();
  if (kind == AddressField::Gateway && blank) return Passed();
  const Quad q = Read(f);
  const bool firstIsHostPart = kind != AddressField::Netmask;
  const int row = static_cast<int>(kind) - 1;
  for (int i = 0; i < 4; ++i) {
    bool good = InByteRange(q.v[i]);
    if (i == 0 && firstIsHostPart) good = q.v[0] >= 1 && q.v[0] <= 223;
    if (!good) {
      return Failed({kFieldMessages[row][i], "Error", MessageIcon::Information}, kind, i);
    }
  }
  return Passed();
}

bool IsContiguousNetmask(int m1, int m2, int m3, int m4) {
  const int m[4] = {m1, m2, m3, m4};
  for (int v : m) {
    if (!InByteRange(v)) return false;
  }
  if (m1 == 0) return false;
  bool seenZero = false;
  for (int v : m) {
    for (int bit = 7; bit >= 0; --bit) {
      const bool one = ((v >> bit) & 1) != 0;
      if (one && seenZero) return false;
      if (!one) seenZero = true;
    }
  }
  return true;
}

bool IsBadTcpIpConfig(const int a[4], const int m[4], const int g[4]) {
  const Quad qa = Read(a), qm = Read(m), qg = Read(g);
  if (IsLinkLocal(qa)) return false;
  bool isNetwork = true, isBroadcast = true, otherSubnet = false;
  for (int i = 0; i < 4; ++i) {
    const int ai = qa.v[i], mi = qm.v[i], gi = qg.v[i];
    if (gi != (ai & mi)) isNetwork = false;
    if (gi != ((255 - mi) | ai)) isBroadcast = false;
    if ((ai & mi) != (gi & mi)) otherSubnet = true;
  }
  return isNetwork || isBroadcast || otherSubnet;
}

LanCheckResult ValidateStaticSettings(bool addressBlank, const int a[4], bool netmaskBlank,
                                      const int m[4], bool gatewayBlank, const int g[4],
                                      CommandBuffersRecord* buffers) {
  if (addressBlank) return Failed(kAddressBlank, AddressField::Address);
  if (netmaskBlank) return Failed(kNetmaskBlank, AddressField::Netmask);
  const Quad qa = Read(a), qm = Read(m);
  const Quad qg = gatewayBlank ? Read(nullptr) : Read(g);
  if (qa.v[0] == 127) return Failed(kLoopbackAddress, AddressField::Address);
  LanCheckResult r = CheckAddressFieldsRule(AddressField::Address, qa.v);
  if (!r.ok) return r;
  const LanPortConfig* first = buffers ? &buffers->lanConfig.port[0] : nullptr;
  if (buffers) CopyPaddedField(buffers->targetIp, first->address);
  r = CheckAddressFieldsRule(AddressField::Netmask, qm.v);
  if (!r.ok) return r;
  if (buffers) CopyPaddedField(buffers->netmask, first->netmask);
  if (!IsLinkLocal(qa)) {
    r = CheckAddressFieldsRule(AddressField::Gateway, qg.v, gatewayBlank);
    if (!r.ok) return r;
  }
  if (!IsContiguousNetmask(qm.v[0], qm.v[1], qm.v[2], qm.v[3]))
    return Failed(kNetmaskShape, AddressField::Netmask);
  if (IsBadTcpIpConfig(qa.v, qm.v, qg.v)) return Failed(kBadCombination, AddressField::None);
  if (buffers) {
    if (IsZero(qg))
      std::memset(buffers->gateway, 0, sizeof buffers->gateway);
    else
      CopyPaddedField(buffers->gateway, first->gateway);
  }
  return Passed();
}

int LanPortHalf(const char* portName) {
  return portName != nullptr && std::strcmp(portName, "LAN2") == 0 ? 1 : 0;
}

bool HasSecondLanPort(const LanConfig& config) {
  const LanPortConfig& first = config.port[0];
  return BoundedLength(first.name, sizeof first.name) == 4 && std::memcmp(first.name, "LAN1", 4) == 0;
}

const char* DefaultLanPort(const LanConfig& config, const char* deviceAddress) {
  if (!HasSecondLanPort(config)) return "LAN1";
  const LanPortConfig& first = config.port[0];
  const char* address = deviceAddress ? deviceAddress : "";
  const bool same = std::strncmp(address, first.address, sizeof first.address) == 0;
  return same ? "LAN1" : "LAN2";
}

void StageLanPortMode(LanConfig& config, const char* portName, bool dhcp) {
  CopyTextField(config.port[LanPortHalf(portName)].mode, dhcp ? "1" : "0");
}

void StageLanPortSettings(LanConfig& config, const char* portName, const LanPortValues& values) {
  LanPortConfig& half = config.port[LanPortHalf(portName)];
  StageDotted(half.address, values.address);
  StageDotted(half.netmask, values.netmask);
  StageDotted(half.gateway, values.gateway);
  StageLanPortMode(config, portName, values.dhcp);
}

LanCheckResult ConfirmAdministrator(const std::function<void()>& askCredentials) {
  CopyTextField(CommandBuffers.adminUser, "admin");
  CopyTextField(CommandBuffers.adminPassword, "");
  if (CheckAdminLogin() != 0) return Passed();
  if (askCredentials) askCredentials();
  if (CheckAdminLogin() != 0) return Passed();
  return Failed(kWrongAdminPasswordMessage, AddressField::None);
}
