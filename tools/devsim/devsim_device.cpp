#include "devsim_device.h"

#include <algorithm>
#include <cstring>

#include "address_text.h"
#include "packet.h"

namespace devsim {

namespace P = ProtocolPacket;

namespace {

enum class Kind { Discover,
                  Query,
                  Set };

constexpr size_t kLanRecord = 120;
constexpr uint32_t kBadLength = 4000;

bool InScope(const Scope& s, Kind k, int code) {
  switch (k) {
    case Kind::Discover: return s.MatchesDiscover();
    case Kind::Query: return s.MatchesQuery(code);
    case Kind::Set: return s.MatchesSet(code);
  }
  return false;
}

void PutText(std::vector<uint8_t>& r, size_t offset, const std::string& text, size_t width) {
  size_t n = std::min(text.size(), width);
  std::memcpy(r.data() + offset, text.data(), n);
}

// Zero-terminated text inside a fixed field of a received datagram.
std::string FieldText(const uint8_t* data, size_t length, size_t offset, size_t width) {
  std::string s;
  for (size_t i = offset; i < offset + width && i < length && data[i] != 0; ++i)
    s.push_back(static_cast<char>(data[i]));
  return s;
}

void PutHeader(std::vector<uint8_t>& r, uint8_t type, const DeviceState& d, const uint8_t* clientId10) {
  r[P::kType] = type;
  std::memcpy(r.data() + P::kClientId, clientId10, 10);
  std::memcpy(r.data() + P::kDeviceMac, d.config.mac, 6);
  std::memcpy(r.data() + P::kDeviceAddress, d.ip, 4);
}

size_t DiscoverLengthOffset(int type) {
  return type == 2 ? P::kSettingsLength : type == 7 ? P::kClassedLength
                                                    : P::kModelLength;
}

size_t DiscoverDataOffset(int type) {
  return type == 2 ? P::kSettingsData : type == 7 ? P::kClassedData
                                                  : P::kModelData;
}

std::string QueryText(const DeviceConfig& c, int code) {
  switch (code) {
    case kCodeShareList: return c.shares;
    case kCodeWorkgroup: return c.workgroup;
    case kCodeCodePage: return c.codePage;
    case kCodeDiskStatus: return c.disk;
    case kCodeShareName: return c.shareName;
    case kCodeBtFirmware: return c.btFirmware;
    case kCodeDomain: return c.domain;
    case kCodeSslMode: return c.ssl;
    case kCodeLanConfig: return c.lanConfig;
    default: return std::string();
  }
}

bool SetAddress(DeviceState& d, const std::string& text) {
  uint8_t ip[4];
  if (!ParseAddressText(text.c_str(), ip)) return false;
  d.config.address = text;
  std::memcpy(d.ip, ip, 4);
  return true;
}

// Index of the port that carries the device's current address; 0 when none.
size_t OwnPort(const DeviceState& d, const std::vector<LanPort>& ports) {
  for (size_t i = 0; i < ports.size(); ++i)
    if (ports[i].address == d.config.address) return i;
  return 0;
}

std::string Describe(const DeviceState& d) {
  return "address " + d.config.address + " netmask " + d.config.netmask + " gateway '" +
         d.config.gateway + "' dhcp " + (d.config.dhcp ? "1" : "0") + " lanconfig '" +
         d.config.lanConfig + "'";
}

// Misbehaviour, then the reply (and any flood before it) into out.
void Emit(const DeviceState& d, Kind kind, int code, std::vector<uint8_t> reply,
          size_t lengthOffset, size_t dataOffset, const std::string& iface, int64_t nowMs,
          std::vector<Outgoing>* out) {
  const Faults& f = d.config.faults;
  if (!f.headerAddress.empty() && InScope(f.headerAddressOn, kind, code)) {
    uint8_t ip[4];
    if (ParseAddressText(f.headerAddress.c_str(), ip)) std::memcpy(reply.data() + P::kDeviceAddress, ip, 4);
  }
  std::vector<uint8_t> plain = reply;
  if (f.foreignId && InScope(f.foreignIdOn, kind, code)) reply[P::kClientId] ^= 0xFF;
  if (f.malformed != Malformed::None && InScope(f.malformedOn, kind, code)) {
    switch (f.malformed) {
      case Malformed::Truncate:
        reply.resize(std::min(reply.size(), static_cast<size_t>(f.truncateTo)));
        break;
      case Malformed::BadLength:
        // The length field claims more than the datagram holds, and
        // the text has no terminator.
        if (kind == Kind::Query && reply.size() > dataOffset && reply.back() == 0) reply.pop_back();
        PutLe32(reply.data() + lengthOffset, kBadLength);
        break;
      case Malformed::Oversize:
        // A full 4096-byte datagram without a terminator anywhere in
        // its texts.
        if (kind == Kind::Discover) {
          std::memset(reply.data() + P::kNetmask, 'A', P::kTextField);
          std::memset(reply.data() + P::kGateway, 'A', P::kTextField);
          if (reply[P::kType] == kDiscoverReplyModel)
            std::memset(reply.data() + P::kModel, 'A', P::kModelField);
        }
        if (kind == Kind::Query && reply.size() > dataOffset && reply.back() == 0) reply.pop_back();
        reply.resize(kPacketBuffer, 'A');
        if (kind != Kind::Set)
          PutLe32(reply.data() + lengthOffset, static_cast<uint32_t>(kPacketBuffer - dataOffset));
        break;
      case Malformed::None:
        break;
    }
  }
  int64_t due = nowMs + (f.delayMs > 0 && InScope(f.delayOn, kind, code) ? f.delayMs : 0);
  if (f.flood > 0 && InScope(f.floodOn, kind, code)) {
    for (int i = 0; i < f.flood; ++i) {
      std::vector<uint8_t> junk;
      if (f.floodType == FloodType::SameType) {
        junk = plain;
      } else {
        junk.assign(plain.begin(), plain.begin() + P::kDiscoverRequestLength);
        junk[P::kType] = kDiscoverRequest;
      }
      // Another client's id: differs in the first byte, varies with i.
      junk[P::kClientId] ^= 0xFF;
      junk[P::kClientId + 1] ^= static_cast<uint8_t>(i);
      junk[P::kClientId + 2] ^= static_cast<uint8_t>(i >> 8);
      out->push_back({due, iface, junk});
    }
  }
  out->push_back({due, iface, reply});
}

}  // namespace

std::vector<LanPort> SplitLanConfigText(const std::string& text) {
  std::vector<std::string> fields;
  size_t start = 0;
  while (true) {
    size_t colon = text.find(':', start);
    fields.push_back(text.substr(start, colon == std::string::npos ? std::string::npos : colon - start));
    if (colon == std::string::npos) break;
    start = colon + 1;
  }
  std::vector<LanPort> ports;
  for (size_t i = 0; i + 5 <= fields.size(); i += 5)
    ports.push_back({fields[i], fields[i + 1], fields[i + 2], fields[i + 3], fields[i + 4]});
  return ports;
}

std::string JoinLanConfigText(const std::vector<LanPort>& ports) {
  std::string s;
  for (const LanPort& p : ports) {
    if (!s.empty()) s += ':';
    s += p.name + ":" + p.address + ":" + p.netmask + ":" + p.gateway + ":" + p.mode;
  }
  return s;
}

std::vector<LanPort> LanPortsFromRecord(const uint8_t* record) {
  static const size_t widths[5] = {10, 16, 16, 16, 2};
  std::vector<LanPort> ports;
  for (int half = 0; half < 2; ++half) {
    const uint8_t* h = record + static_cast<size_t>(half) * 60;
    std::string f[5];
    size_t off = 0;
    for (int i = 0; i < 5; ++i) {
      f[i] = FieldText(h, 60, off, widths[i]);
      off += widths[i];
    }
    ports.push_back({f[0], f[1], f[2], f[3], f[4]});
    if (half == 0 && f[0] != "LAN1") break;
  }
  return ports;
}

std::vector<uint8_t> BuildDiscoverReply(const DeviceState& d, const uint8_t* clientId10) {
  const DeviceConfig& c = d.config;
  size_t dataOffset = DiscoverDataOffset(c.replyType);
  size_t n = std::min(c.name.size(), kPacketBuffer - dataOffset);
  std::vector<uint8_t> r(dataOffset + n, 0);
  PutHeader(r, static_cast<uint8_t>(c.replyType), d, clientId10);
  r[P::kCommand] = c.dhcp ? '1' : '0';
  PutText(r, P::kNetmask, c.netmask, P::kTextField);
  PutText(r, P::kGateway, c.gateway, P::kTextField);
  if (c.replyType == 7 || c.replyType == 8) {
    r[P::kDeviceClass] = static_cast<uint8_t>(c.deviceClass);
    r[P::kDeviceSubclass] = static_cast<uint8_t>(c.deviceSubclass);
  }
  if (c.replyType == 8) PutText(r, P::kModel, c.model, P::kModelField);
  PutLe32(r.data() + DiscoverLengthOffset(c.replyType), static_cast<uint32_t>(n));
  std::memcpy(r.data() + dataOffset, c.name.data(), n);
  return r;
}

std::vector<uint8_t> BuildQueryReply(const DeviceState& d, const uint8_t* clientId10,
                                     uint8_t code, const std::string& data) {
  // The text and its terminator, within one 4096-byte datagram.
  size_t n = std::min(data.size(), kPacketBuffer - P::kQueryData - 1);
  std::vector<uint8_t> r(P::kQueryData + n + 1, 0);
  PutHeader(r, kQueryReply, d, clientId10);
  r[P::kCommand] = code;
  PutLe32(r.data() + P::kQueryLength, static_cast<uint32_t>(n));
  std::memcpy(r.data() + P::kQueryData, data.data(), n);
  return r;
}

std::vector<uint8_t> BuildSetReply(const DeviceState& d, const uint8_t* clientId10, uint8_t code) {
  std::vector<uint8_t> r(P::kSettingsData, 0);
  PutHeader(r, kSetReply, d, clientId10);
  r[P::kCommand] = code;
  PutText(r, P::kNetmask, d.config.netmask, P::kTextField);
  PutText(r, P::kGateway, d.config.gateway, P::kTextField);
  return r;
}

Simulator::Simulator(const SimConfig& config) {
  for (const DeviceConfig& c : config.devices) {
    DeviceState d;
    d.config = c;
    ParseAddressText(c.address.c_str(), d.ip);
    m_devices.push_back(d);
  }
}

std::vector<Outgoing> Simulator::Handle(const uint8_t* data, size_t length,
                                        const std::string& iface, int64_t nowMs,
                                        std::vector<std::string>* notes) {
  std::vector<Outgoing> out;
  if (length == 0) return out;
  uint8_t type = data[P::kType];
  Kind kind;
  size_t minimum;
  if (type == kDiscoverRequest) {
    kind = Kind::Discover;
    minimum = P::kDiscoverRequestLength;
  } else if (type == kQueryRequest) {
    kind = Kind::Query;
    minimum = P::kQueryData;
  } else if (type == kSetRequest) {
    kind = Kind::Set;
    minimum = P::kSettingsData;
  } else
    return out;  // replies of other devices, our own with loop-back on
  if (length < minimum) {
    if (notes) notes->push_back("short request of type " + std::to_string(type) + " ignored");
    return out;
  }
  int code = kind == Kind::Discover ? 0 : data[P::kCommand];
  for (DeviceState& d : m_devices) {
    if (!d.config.interface.empty() && d.config.interface != iface) continue;
    if (kind != Kind::Discover &&
        (std::memcmp(data + P::kDeviceMac, d.config.mac, 6) != 0 ||
         std::memcmp(data + P::kDeviceAddress, d.ip, 4) != 0))
      continue;
    if (nowMs < d.silentUntilMs) continue;
    if (d.config.faults.silent && InScope(d.config.faults.silentOn, kind, code)) continue;
    switch (kind) {
      case Kind::Discover: Discover(d, data, iface, nowMs, &out); break;
      case Kind::Query: Query(d, data, length, iface, nowMs, &out); break;
      case Kind::Set: Set(d, data, length, iface, nowMs, &out, notes); break;
    }
  }
  return out;
}

void Simulator::Discover(DeviceState& d, const uint8_t* request, const std::string& iface,
                         int64_t nowMs, std::vector<Outgoing>* out) {
  int type = d.config.replyType;
  Emit(d, Kind::Discover, 0, BuildDiscoverReply(d, request + P::kClientId),
       DiscoverLengthOffset(type), DiscoverDataOffset(type), iface, nowMs, out);
}

void Simulator::Query(DeviceState& d, const uint8_t* request, size_t length,
                      const std::string& iface, int64_t nowMs, std::vector<Outgoing>* out) {
  uint8_t code = request[P::kCommand];
  std::string text;
  if (code == kCodeAdminLogin) {
    // user, 0x55 0xAA, password
    size_t n = std::min<size_t>(GetLe32(request + P::kQueryLength), length - P::kQueryData);
    std::string data(reinterpret_cast<const char*>(request + P::kQueryData), n);
    size_t sep = data.find("\x55\xAA");
    bool ok = sep != std::string::npos && data.substr(0, sep) == d.config.user &&
              data.substr(sep + 2) == d.config.password;
    text.assign(1, ok ? '\x01' : '\x00');
  } else {
    text = QueryText(d.config, code);
  }
  std::vector<uint8_t> reply = BuildQueryReply(d, request + P::kClientId, code, text);
  if (code == kCodeAdminLogin) reply.pop_back();  // one data byte, no terminator needed
  Emit(d, Kind::Query, code, reply, P::kQueryLength, P::kQueryData, iface, nowMs, out);
}

void Simulator::Set(DeviceState& d, const uint8_t* request, size_t length,
                    const std::string& iface, int64_t nowMs, std::vector<Outgoing>* out,
                    std::vector<std::string>* notes) {
  uint8_t code = request[P::kCommand];
  size_t n = std::min<size_t>(GetLe32(request + P::kSettingsLength), length - P::kSettingsData);
  const uint8_t* data = request + P::kSettingsData;
  std::string text(reinterpret_cast<const char*>(data), n);
  std::string before = Describe(d);
  std::vector<LanPort> ports = SplitLanConfigText(d.config.lanConfig);
  size_t own = OwnPort(d, ports);
  const std::string label = "device " + d.config.label + ": ";
  bool restart = false;

  switch (code) {
    case kCodeStaticAddress: {  // static address: data the address, netmask and gateway in the header
      std::string address = text.substr(0, text.find('\0'));
      if (!SetAddress(d, address)) {
        if (notes) notes->push_back(label + "code 1 with a bad address '" + address + "' ignored");
        break;
      }
      d.config.netmask = FieldText(request, length, P::kNetmask, P::kTextField);
      d.config.gateway = FieldText(request, length, P::kGateway, P::kTextField);
      d.config.dhcp = false;
      if (own < ports.size()) {
        ports[own] = {ports[own].name, d.config.address, d.config.netmask, d.config.gateway, "0"};
        d.config.lanConfig = JoinLanConfigText(ports);
      }
      break;
    }
    case kCodeDhcpClient:  // with the LAN configuration record when the device has one
    case kCodeSetLanConfig: {  // per-port settings
      std::vector<LanPort> fresh = ports;
      if (n >= kLanRecord)
        fresh = LanPortsFromRecord(data);
      else if (code == kCodeSetLanConfig) {
        if (notes) notes->push_back(label + "code 21 with " + std::to_string(n) + " data bytes ignored");
        break;
      }
      if (code == kCodeDhcpClient) {
        d.config.dhcp = true;
        if (!d.config.dhcpAddress.empty()) SetAddress(d, d.config.dhcpAddress);
        if (own < fresh.size()) {
          fresh[own].address = d.config.address;
          fresh[own].mode = "1";
        }
      } else if (own < fresh.size()) {
        const LanPort& p = fresh[own];
        d.config.dhcp = !p.mode.empty() && p.mode[0] == '1';
        if (d.config.dhcp && !d.config.dhcpAddress.empty()) {
          SetAddress(d, d.config.dhcpAddress);
          fresh[own].address = d.config.address;
        } else {
          SetAddress(d, p.address);
          d.config.netmask = p.netmask;
          d.config.gateway = p.gateway;
        }
      }
      if (!fresh.empty()) d.config.lanConfig = JoinLanConfigText(fresh);
      break;
    }
    case kCodeSetWorkgroup: d.config.workgroup = text; break;
    case kCodeSetCodePage:
      d.config.codePage = text;
      restart = true;
      break;
    case kCodeRegisterAddon: restart = true; break;
    default: break;  // mount mode, stop and the rest: acknowledged only
  }
  std::string after = Describe(d);
  if (notes && after != before) notes->push_back(label + before + " -> " + after);
  Emit(d, Kind::Set, code, BuildSetReply(d, request + P::kClientId, code), P::kSettingsLength,
       P::kSettingsData, iface, nowMs, out);
  if (restart) {
    d.silentUntilMs = nowMs + d.config.restartMs;
    if (notes) notes->push_back(label + "restarting for " + std::to_string(d.config.restartMs) + " ms");
  }
}

}  // namespace devsim
