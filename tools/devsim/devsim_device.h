// The simulated devices: what each answers to a datagram, and how the set
// commands change it. No sockets here, so that it can be tested directly.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "devsim_config.h"

namespace devsim {

// One LAN port as a device reports it in its LAN configuration text.
struct LanPort {
  std::string name, address, netmask, gateway, mode;
};

// Splits "name:address:netmask:gateway:mode[:name:...]" keeping empty fields.
// Returns the complete ports only (five fields each).
std::vector<LanPort> SplitLanConfigText(const std::string& text);
std::string JoinLanConfigText(const std::vector<LanPort>& ports);
// The ports of a 120-byte LAN configuration record: the first half, and the
// second when the first is named "LAN1".
std::vector<LanPort> LanPortsFromRecord(const uint8_t* record);

struct DeviceState {
  DeviceConfig config;  // current settings; the set commands change them
  uint8_t ip[4] = {0, 0, 0, 0};
  int64_t silentUntilMs = 0;  // restarting until then
};

// A datagram to send to the group through the given local interface.
struct Outgoing {
  int64_t dueMs;
  std::string interface;
  std::vector<uint8_t> bytes;
};

class Simulator {
public:
  explicit Simulator(const SimConfig& config);

  // Handles one datagram that arrived on the local interface with address
  // interfaceAddress at nowMs. Returns what to send (in order); notes gets
  // one line per state change for the log.
  std::vector<Outgoing> Handle(const uint8_t* data, size_t length,
                               const std::string& iface, int64_t nowMs,
                               std::vector<std::string>* notes);

  const std::vector<DeviceState>& devices() const { return m_devices; }

private:
  void Discover(DeviceState& d, const uint8_t* request, const std::string& iface,
                int64_t nowMs, std::vector<Outgoing>* out);
  void Query(DeviceState& d, const uint8_t* request, size_t length, const std::string& iface,
             int64_t nowMs, std::vector<Outgoing>* out);
  void Set(DeviceState& d, const uint8_t* request, size_t length, const std::string& iface,
           int64_t nowMs, std::vector<Outgoing>* out, std::vector<std::string>* notes);

  std::vector<DeviceState> m_devices;
};

// Reply builders (no misbehaviour applied).
std::vector<uint8_t> BuildDiscoverReply(const DeviceState& d, const uint8_t* clientId10);
std::vector<uint8_t> BuildQueryReply(const DeviceState& d, const uint8_t* clientId10,
                                     uint8_t code, const std::string& data);
std::vector<uint8_t> BuildSetReply(const DeviceState& d, const uint8_t* clientId10, uint8_t code);

}  // namespace devsim
