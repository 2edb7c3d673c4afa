// nexora-cli: the storage-device operations of the main window from the
// command line: discovery, the queries, administrator login and the LAN
// settings changes. Built natively and for Windows on the protocol library.
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "address_text.h"
#include "cli_output.h"
#include "commands.h"
#include "discovery.h"
#include "lan_rules.h"
#include "text_copy.h"
#include "transport.h"

// The program's version, PROJECT_VERSION of the top CMakeLists.txt.
#ifndef NEXORA_VERSION
#error "NEXORA_VERSION is the program's version text (tools/cli/CMakeLists.txt)"
#endif

namespace {

const char kUsage[] =
    "Usage: nexora-cli [--verbose] COMMAND [ARGUMENTS] [OPTIONS]\n"
    "\n"
    "Finds and configures the storage devices on every local network. Every command\n"
    "first runs a discovery (device class 3, subclass 3; about one second per local\n"
    "interface) to find its device, as the program's window does.\n"
    "\n"
    "Commands:\n"
    "  discover [--class N] [--subclass N]\n"
    "      One line per device, in discovery order, fields separated by one tab:\n"
    "      address, name, netmask, gateway, DHCP flag character ('1' DHCP client),\n"
    "      MAC (aa:bb:cc:dd:ee:ff), model, interface index. N is 0..255, 0 meaning\n"
    "      any; both default to 3.\n"
    "  query ADDRESS ITEM\n"
    "      Prints one setting of the device at ADDRESS. ITEM is one of:\n"
    "        shares      the share names, one per line, in the device's order\n"
    "        workgroup, codepage, disk, sharename, btfirmware, domain, ssl\n"
    "                    the device's text, on one line\n"
    "        lanconfig   one line per LAN port: name, address, netmask, gateway,\n"
    "                    mode, tab-separated (an empty gateway is an empty field);\n"
    "                    nothing for a device without per-port configuration\n"
    "  login ADDRESS [--user NAME] [--password TEXT]\n"
    "      Checks the credentials (default user admin, empty password) and\n"
    "      prints \"Login accepted.\"; a device that does not answer counts as\n"
    "      refusing them.\n"
    "  set-dhcp ADDRESS [--password TEXT]\n"
    "      Makes the device a DHCP client and prints its new address. A device\n"
    "      with two LAN ports changes the port that carries ADDRESS and is sent\n"
    "      its whole LAN configuration, as the window does; the address printed\n"
    "      is then its first port's as reported before the change.\n"
    "  set-static ADDRESS NEW_ADDRESS NETMASK [GATEWAY] [--port LAN1|LAN2]\n"
    "             [--password TEXT]\n"
    "      Gives the device a static address. The settings are checked first, by\n"
    "      the program's rules (an empty gateway is accepted only for 169.254.x.x).\n"
    "      On a device with two LAN ports --port chooses the port (default: the\n"
    "      port that carries ADDRESS); the other port keeps its settings.\n"
    "      Prints \"LAN settings applied.\" once the device has acknowledged them.\n"
    "\n"
    "set-dhcp and set-static log in as the administrator first: user admin with an\n"
    "empty password, then with --password. User names and passwords hold at most\n"
    "16 characters.\n"
    "\n"
    "Options:\n"
    "  --verbose   the protocol's diagnostic lines (key=value) on standard error\n"
    "  --json      the result as one JSON object on standard output, for scripts:\n"
    "              discover {\"devices\": [{\"address\", \"name\", \"netmask\",\n"
    "              \"gateway\", \"dhcp\", \"mac\", \"model\", \"interface\"}]}; query shares\n"
    "              {\"shares\": [{\"name\"}]}; query lanconfig {\"ports\": [{\"name\",\n"
    "              \"address\", \"netmask\", \"gateway\", \"mode\"}]}; other queries\n"
    "              {\"ITEM\": \"text\"}; login and set-static {\"message\"}; set-dhcp\n"
    "              {\"message\", \"address\"}. On failure {\"status\": N, \"error\":\n"
    "              \"message\"} instead, with the same exit status.\n"
    "  --help      this text\n"
    "  --version   the program's name and version\n"
    "\n"
    "Exit status: 0 success; 1 device not found, no answer, or password refused;\n"
    "2 bad usage or invalid input (a one-line message on standard error, and\n"
    "nothing is sent).\n"
    "\n"
    "Environment (Linux): NEXORA_INTERFACES=ADDR[,ADDR...] chooses the local\n"
    "interfaces and their order.\n";

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr size_t kCredentialMax = 16;

void DropTrace(const char*) {}
void TraceToStderr(const char* line) { std::fputs(line, stderr); }

int UsageError(const std::string& text) {
  return Out().Fail(kExitUsage, "nexora-cli: " + text + " (see nexora-cli --help)");
}

int Failure(const std::string& text) { return Out().Fail(kExitFailed, text); }

// Text of a fixed field that may fill it without a terminator.
template <size_t N>
std::string Printable(const char (&field)[N]) {
  return std::string(field, BoundedLength(field, N));
}

// A device address as discovery writes it ("%d.%d.%d.%d").
bool ParseDeviceAddress(const std::string& text, std::string* canonical) {
  uint8_t octets[4];
  if (!ParseAddressText(text.c_str(), octets)) return false;
  char dotted[kAddressText];
  std::snprintf(dotted, sizeof dotted, "%d.%d.%d.%d", octets[0], octets[1], octets[2], octets[3]);
  *canonical = dotted;
  return true;
}

bool ParseSmallNumber(const std::string& text, unsigned* out) {
  if (text.empty() || text.size() > 3) return false;
  for (char c : text)
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  unsigned v = static_cast<unsigned>(std::strtoul(text.c_str(), nullptr, 10));
  if (v > 255) return false;
  *out = v;
  return true;
}

struct Arguments {
  std::string command;
  std::vector<std::string> positional;
  bool verbose = false;
  bool help = false;
  bool version = false;
  bool haveClass = false, haveSubclass = false, haveUser = false, havePassword = false, havePort = false;
  std::string classText, subclassText, user, password, port;
};

// Options may stand anywhere after the command, as "--name VALUE" or
// "--name=VALUE"; "--" ends them.
bool ParseArguments(int argc, char** argv, Arguments* a, std::string* error) {
  bool optionsDone = false;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (!optionsDone && arg == "--") {
      optionsDone = true;
      continue;
    }
    if (optionsDone || arg.size() < 2 || arg[0] != '-' || arg[1] != '-') {
      if (a->command.empty())
        a->command = arg;
      else
        a->positional.push_back(arg);
      continue;
    }
    std::string name = arg, value;
    bool inlineValue = false;
    size_t eq = arg.find('=');
    if (eq != std::string::npos) {
      name = arg.substr(0, eq);
      value = arg.substr(eq + 1);
      inlineValue = true;
    }
    if (name == "--help") {
      a->help = true;
      continue;
    }
    if (name == "--version") {
      if (inlineValue) {
        *error = "--version takes no value";
        return false;
      }
      a->version = true;
      continue;
    }
    if (name == "--verbose") {
      a->verbose = true;
      continue;
    }
    if (name == "--json") {  // chosen before parsing, see WantsJson
      if (inlineValue) {
        *error = "--json takes no value";
        return false;
      }
      continue;
    }
    struct Valued {
      const char* name;
      bool* have;
      std::string* value;
    } valued[] = {
        {"--class", &a->haveClass, &a->classText},
        {"--subclass", &a->haveSubclass, &a->subclassText},
        {"--user", &a->haveUser, &a->user},
        {"--password", &a->havePassword, &a->password},
        {"--port", &a->havePort, &a->port},
    };
    bool known = false;
    for (const Valued& v : valued) {
      if (name != v.name) continue;
      known = true;
      if (!inlineValue) {
        if (i + 1 >= argc) {
          *error = name + " needs a value";
          return false;
        }
        value = argv[++i];
      }
      *v.have = true;
      *v.value = value;
    }
    if (!known) {
      *error = "unknown option " + name;
      return false;
    }
  }
  return true;
}

// Only the options that the command takes.
bool CheckOptions(const Arguments& a, bool classes, bool user, bool password, bool port,
                  std::string* error) {
  struct {
    bool given, allowed;
    const char* name;
  } options[] = {
      {a.haveClass, classes, "--class"},
      {a.haveSubclass, classes, "--subclass"},
      {a.haveUser, user, "--user"},
      {a.havePassword, password, "--password"},
      {a.havePort, port, "--port"},
  };
  for (const auto& o : options) {
    if (o.given && !o.allowed) {
      *error = std::string(o.name) + " does not belong to " + a.command;
      return false;
    }
  }
  return true;
}

// Runs the window's discovery and finds the device; prints why not.
NasDevice* FindDevice(const std::string& address) {
  DiscoverDevices(kStorageDeviceClass, kStorageDeviceSubclass);
  NasDevice* d = FindDeviceByAddress(address.c_str());
  if (!d) Failure("nexora-cli: no device found at " + address);
  return d;
}

void SelectDevice(const std::string& address) { CopyTextField(CommandBuffers.selectedIp, address.c_str()); }

void SetCredentials(const std::string& user, const std::string& password) {
  CopyTextField(CommandBuffers.adminUser, user.c_str());
  CopyTextField(CommandBuffers.adminPassword, password.c_str());
}

// The window's administrator check, with the password that the user gave
// in place of the login dialog.
bool ConfirmAdminPassword(const std::string& password) {
  const LanCheckResult r = ConfirmAdministrator([&password] { SetCredentials("admin", password); });
  if (!r.ok) Failure(r.message);
  return r.ok;
}

// Queries the LAN configuration as a device click does: cleared first, so
// that a device that does not answer counts as one without per-port
// configuration.
void QueryLanConfigForChange() {
  std::memset(&CommandBuffers.lanConfig, 0, sizeof CommandBuffers.lanConfig);
  QueryLanConfig();
}

int RunDiscover(unsigned deviceClass, unsigned deviceSubclass) {
  DiscoverDevices(deviceClass, deviceSubclass);
  Out().BeginList("devices");
  for (const NasDevice* d = DeviceList.head; d; d = d->next) {
    char mac[18];
    std::snprintf(mac, sizeof mac, "%02x:%02x:%02x:%02x:%02x:%02x", d->mac[0], d->mac[1], d->mac[2], d->mac[3],
                  d->mac[4], d->mac[5]);
    Out().Add({{"address", Printable(d->ipText)},
               {"name", Printable(d->name)},
               {"netmask", Printable(d->netmask)},
               {"gateway", Printable(d->gateway)},
               {"dhcp", Printable(d->dhcpFlag).substr(0, 1)},
               {"mac", mac},
               {"model", Printable(d->model)},
               {"interface", d->interfaceIndex}});
  }
  return kExitOk;
}

int RunQuery(const std::string& address, const std::string& item) {
  if (!FindDevice(address)) return kExitFailed;
  SelectDevice(address);
  CommandBuffersRecord& b = CommandBuffers;
  int ok = 0;
  std::string text;
  if (item == "shares") {
    ok = QueryShareList();
    if (ok) {
      Out().BeginList("shares");
      for (const ShareEntry* e = ShareList.head; e; e = e->next) Out().Add({{"name", Printable(e->name)}});
    }
  } else if (item == "lanconfig") {
    std::memset(&b.lanConfig, 0, sizeof b.lanConfig);
    ok = QueryLanConfig();
    if (ok) {
      Out().BeginList("ports");
      for (const LanPortConfig& p : b.lanConfig.port) {
        if (p.name[0] == 0) continue;
        Out().Add({{"name", Printable(p.name)},
                   {"address", Printable(p.address)},
                   {"netmask", Printable(p.netmask)},
                   {"gateway", Printable(p.gateway)},
                   {"mode", Printable(p.mode)}});
      }
    }
  } else {
#define NEXORA_TEXT_QUERY(ITEM, FIELD, COMMAND) \
  if (item == (ITEM)) {                         \
    std::memset(b.FIELD, 0, sizeof b.FIELD);    \
    ok = COMMAND();                             \
    text = Printable(b.FIELD);                  \
  }
    NEXORA_TEXT_QUERY("workgroup", workgroup, QueryWorkgroup)
    NEXORA_TEXT_QUERY("codepage", codePage, QueryCodePage)
    NEXORA_TEXT_QUERY("disk", diskStatus, QueryDiskStatus)
    NEXORA_TEXT_QUERY("sharename", shareName, QueryShareName)
    NEXORA_TEXT_QUERY("btfirmware", btFirmware, QueryBtFirmware)
    NEXORA_TEXT_QUERY("domain", domain, QueryDomain)
    NEXORA_TEXT_QUERY("ssl", sslMode, QuerySslMode)
#undef NEXORA_TEXT_QUERY
    if (ok) Out().Text(item.c_str(), text);
  }
  if (!ok) return Failure("nexora-cli: no answer from " + address + " to the " + item + " query");
  return kExitOk;
}

int RunLogin(const std::string& address, const std::string& user, const std::string& password) {
  if (!FindDevice(address)) return kExitFailed;
  SelectDevice(address);
  SetCredentials(user, password);
  if (CheckAdminLogin() == 0) return Failure(kWrongAdminPasswordMessage.text);
  Out().Text("message", "Login accepted.");
  return kExitOk;
}

int RunSetDhcp(const std::string& address, const std::string& password) {
  NasDevice* d = FindDevice(address);
  if (!d) return kExitFailed;
  SelectDevice(address);
  QueryLanConfigForChange();
  CommandBuffersRecord& b = CommandBuffers;
  const bool perPort = IsLanConfigPresent(b.lanConfig);
  if (perPort) {
    // As the window does for a two-port device: the port that carries the
    // address becomes a DHCP client and the whole record goes out with
    // ApplyLanSettings, the first port's settings in targetIp, netmask and
    // gateway (a gateway of 0.0.0.0 as none).
    LanConfig& c = b.lanConfig;
    StageLanPortMode(c, DefaultLanPort(c, d->ipText), true);
    // Copied as the window's checks stage them (CopyPaddedField).
    const LanPortConfig& first = c.port[0];
    CopyPaddedField(b.targetIp, first.address);
    CopyPaddedField(b.netmask, first.netmask);
    const bool noGateway = std::strncmp(first.gateway, "0.0.0.0", sizeof first.gateway) == 0;
    CopyPaddedField(b.gateway, noGateway ? nullptr : first.gateway);
  }
  if (!ConfirmAdminPassword(password)) return kExitFailed;
  if (!(perPort ? ApplyLanSettings() : SetDhcpClient())) return Failure(kDhcpFailedMessage.text);
  Out().Text("message", kDhcpEnabledMessage.text);
  Out().Text("address", Printable(b.selectedIp));
  return kExitOk;
}

struct StaticSettings {
  int address[4], netmask[4], gateway[4];
  bool gatewayBlank;
};

int RunSetStatic(const std::string& address, const StaticSettings& s, const Arguments& a) {
  NasDevice* d = FindDevice(address);
  if (!d) return kExitFailed;
  SelectDevice(address);
  QueryLanConfigForChange();
  CommandBuffersRecord& b = CommandBuffers;
  // On a device with per-port configuration the chosen port's half gets
  // the new settings and the other half stays as the device reported it;
  // otherwise the first half stands for the one port.
  const std::string port = a.havePort ? a.port : DefaultLanPort(b.lanConfig, d->ipText);
  if (port == "LAN2" && !HasSecondLanPort(b.lanConfig)) {
    return Out().Fail(kExitUsage, "nexora-cli: the device at " + address + " has no port LAN2");
  }
  LanPortValues values{};
  std::memcpy(values.address, s.address, sizeof values.address);
  std::memcpy(values.netmask, s.netmask, sizeof values.netmask);
  std::memcpy(values.gateway, s.gateway, sizeof values.gateway);
  values.dhcp = false;
  StageLanPortSettings(b.lanConfig, port.c_str(), values);
  // The checks passed before the network was opened; run again on the
  // staged record they fill targetIp, netmask and gateway as the window's do.
  const LanCheckResult r = ValidateStaticSettings(false, s.address, false, s.netmask, s.gatewayBlank,
                                                  s.gateway, &b);
  if (!r.ok) return Out().Fail(kExitUsage, r.message);
  if (!ConfirmAdminPassword(a.password)) return kExitFailed;
  if (!ApplyLanSettings()) return Failure("nexora-cli: no answer from " + address + " to the new settings");
  Out().Text("message", "LAN settings applied.");
  return kExitOk;
}

bool CheckCredential(const char* what, const std::string& text, std::string* error) {
  if (text.size() > kCredentialMax) {
    *error = std::string(what) + " holds at most 16 characters";
    return false;
  }
  return true;
}

// The static settings from the command line, checked by the window's rules.
// Prints the reason and returns false when they are refused.
bool ReadStaticSettings(const Arguments& a, StaticSettings* s, int* exitCode) {
  const char* names[3] = {"NEW_ADDRESS", "NETMASK", "GATEWAY"};
  int* fields[3] = {s->address, s->netmask, s->gateway};
  s->gatewayBlank = a.positional.size() < 4 || a.positional[3].empty();
  for (int i = 0; i < 3; ++i) {
    std::memset(fields[i], 0, sizeof(int) * 4);
    if (i == 2 && s->gatewayBlank) continue;
    const std::string& text = a.positional[1 + i];
    // Up to three digits per field, as an address control takes them;
    // the rules below name a field above 255.
    if (!ParseAddressFields(text.c_str(), fields[i])) {
      *exitCode = UsageError(std::string(names[i]) + " '" + text + "' is not four numbers joined by '.'");
      return false;
    }
  }
  LanCheckResult r = ValidateStaticSettings(false, s->address, false, s->netmask, s->gatewayBlank, s->gateway);
  if (!r.ok) {
    *exitCode = Out().Fail(kExitUsage, r.message ? r.message : "The settings are refused.");
    return false;
  }
  return true;
}

// --json anywhere among the options, looked for before anything else so
// that even a refused command line answers in JSON.
bool WantsJson(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--") return false;
    if (arg == "--json") return true;
  }
  return false;
}

int Run(int argc, char** argv) {
  Arguments a;
  std::string error;
  if (!ParseArguments(argc, argv, &a, &error)) return UsageError(error);
  if (a.help) {
    Out().SetFormat(CliOutput::Format::kText);  // the help is for people, --json or not
    std::fputs(kUsage, stdout);
    return kExitOk;
  }
  if (a.version) {
    Out().SetFormat(CliOutput::Format::kText);  // like the help
    std::fputs("nexora-cli " NEXORA_VERSION "\n", stdout);
    return kExitOk;
  }
  if (a.command.empty()) return UsageError("no command");

  const std::string& c = a.command;
  size_t minArgs, maxArgs;
  bool classes = false, user = false, password = false, port = false;
  if (c == "discover") {
    minArgs = 0;
    maxArgs = 0;
    classes = true;
  } else if (c == "query") {
    minArgs = maxArgs = 2;
  } else if (c == "login") {
    minArgs = maxArgs = 1;
    user = password = true;
  } else if (c == "set-dhcp") {
    minArgs = maxArgs = 1;
    password = true;
  } else if (c == "set-static") {
    minArgs = 3;
    maxArgs = 4;
    password = port = true;
  } else
    return UsageError("unknown command '" + c + "'");
  if (a.positional.size() < minArgs) return UsageError(c + ": missing arguments");
  if (a.positional.size() > maxArgs) return UsageError(c + ": too many arguments");
  if (!CheckOptions(a, classes, user, password, port, &error)) return UsageError(error);

  std::string address;
  if (c != "discover" && !ParseDeviceAddress(a.positional[0], &address))
    return UsageError("ADDRESS '" + a.positional[0] + "' is not an IPv4 address");
  if (!CheckCredential("the user name", a.user, &error) ||
      !CheckCredential("the password", a.password, &error))
    return UsageError(error);
  if (a.havePort && a.port != "LAN1" && a.port != "LAN2")
    return UsageError("--port is LAN1 or LAN2, got '" + a.port + "'");
  static const char* const kItems[] = {"shares", "workgroup", "codepage", "disk", "sharename",
                                       "btfirmware", "domain", "ssl", "lanconfig"};
  if (c == "query") {
    bool known = false;
    for (const char* i : kItems) known = known || a.positional[1] == i;
    if (!known) return UsageError("unknown query item '" + a.positional[1] + "'");
  }
  unsigned deviceClass = kStorageDeviceClass, deviceSubclass = kStorageDeviceSubclass;
  if (a.haveClass && !ParseSmallNumber(a.classText, &deviceClass))
    return UsageError("--class needs a number 0..255, got '" + a.classText + "'");
  if (a.haveSubclass && !ParseSmallNumber(a.subclassText, &deviceSubclass))
    return UsageError("--subclass needs a number 0..255, got '" + a.subclassText + "'");
  StaticSettings settings{};
  int exitCode = kExitOk;
  if (c == "set-static" && !ReadStaticSettings(a, &settings, &exitCode)) return exitCode;

  // Everything is checked: now the network.
  SetTraceSink(a.verbose ? TraceToStderr : DropTrace);
  if (!OpenTransport()) return Failure("nexora-cli: the socket library cannot start");
  int result;
  if (c == "discover")
    result = RunDiscover(deviceClass, deviceSubclass);
  else if (c == "query")
    result = RunQuery(address, a.positional[1]);
  else if (c == "login")
    result = RunLogin(address, a.haveUser ? a.user : "admin", a.password);
  else if (c == "set-dhcp")
    result = RunSetDhcp(address, a.password);
  else
    result = RunSetStatic(address, settings, a);
  CloseTransport();
  ClearShareList();
  FreeDeviceRecords();
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  if (WantsJson(argc, argv)) Out().SetFormat(CliOutput::Format::kJson);
  return Out().Finish(Run(argc, argv));
}
