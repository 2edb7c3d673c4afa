// Configuration of the device simulator: which local addresses it listens
// on and the storage devices it plays, read from an INI-style text file.
// The file format is described in tools/devsim/README.md.
#pragma once
#include <cstddef>
#include <cstdint>
#include <istream>
#include <string>
#include <vector>

namespace devsim {

// Which requests a misbehaviour applies to.
struct Scope {
  bool discover = true;
  bool allQueries = true;
  bool allSets = true;
  std::vector<int> codes;  // extra single command codes (query or set)

  bool MatchesDiscover() const { return discover; }
  bool MatchesQuery(int code) const;
  bool MatchesSet(int code) const;
};

enum class Malformed { None,
                       Truncate,
                       BadLength,
                       Oversize };
enum class FloodType { SameType,
                       OtherType };

struct Faults {
  bool silent = false;
  Scope silentOn;
  int delayMs = 0;
  Scope delayOn;
  bool foreignId = false;
  Scope foreignIdOn;
  std::string headerAddress;  // empty: the device's own
  Scope headerAddressOn;
  int flood = 0;
  FloodType floodType = FloodType::SameType;
  Scope floodOn;
  Malformed malformed = Malformed::None;
  int truncateTo = 20;
  Scope malformedOn;
};

struct DeviceConfig {
  std::string label;  // from the section header; "device<N>" when none
  std::string name = "NAS";
  uint8_t mac[6] = {0, 0, 0, 0, 0, 0};
  bool haveMac = false;
  std::string address;  // dotted-decimal
  std::string netmask = "255.255.255.0";
  std::string gateway;
  bool dhcp = false;
  int replyType = 8;  // 2, 7 or 8
  int deviceClass = 3;
  int deviceSubclass = 3;
  std::string model;
  std::string user = "admin";
  std::string password;
  std::string lanConfig;  // empty: no per-port configuration
  std::string shares;  // the reply text: names joined by ':'
  std::string codePage = "950";
  std::string disk = "3";
  std::string shareName = "HDD_1";
  std::string btFirmware = "1";
  std::string domain;
  std::string ssl = "0";
  std::string workgroup = "WORKGROUP";
  std::string dhcpAddress;  // address taken after code 2; empty keeps the current one
  int restartMs = 5000;  // silence after codes 8 and 14
  std::string interface;  // local address it answers on; empty: all
  bool web = true;  // serves its web page (devsim_web.h)
  Faults faults;
};

struct SimConfig {
  std::vector<std::string> bind;  // local addresses to listen on
  std::string log;  // log file; empty: none
  std::vector<DeviceConfig> devices;
};

// Parses the whole file. On failure error names the line and the fault.
bool ParseConfig(std::istream& in, SimConfig* config, std::string* error);
// One "key = value" (or "[label.]key=value" from the command line) applied to
// a device (label empty: every device). Global keys are bind and log.
bool ApplyDeviceKey(DeviceConfig* device, const std::string& key, const std::string& value,
                    std::string* error);
bool ApplyOverride(SimConfig* config, const std::string& text, std::string* error);
// Checks what the file cannot check line by line (MAC and address present).
bool ValidateConfig(const SimConfig& config, std::string* error);

bool ParseMac(const std::string& text, uint8_t out[6]);

// The text that `long_texts = yes` gives every text of a device: 4096 bytes
// running through every byte value, 0x01 up to 0xff, then 0x00, repeated. It
// starts at 0x01 so that a zero-terminated copy holds 255 characters before
// the first terminator.
constexpr size_t kLongTextBytes = 4096;
std::string LongText();

}  // namespace devsim
