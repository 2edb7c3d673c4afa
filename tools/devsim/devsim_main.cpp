// nexora-devsim: plays storage devices on the local network for tests.
// Listens on UDP 13579 for the group 224.0.0.1 on the chosen local
// interfaces and answers as the devices in its configuration file would.
#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <deque>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "devsim_config.h"
#include "devsim_device.h"
#include "devsim_web.h"
#include "packet.h"

// The program's version, PROJECT_VERSION of the top CMakeLists.txt.
#ifndef NEXORA_VERSION
#error "NEXORA_VERSION is the program's version text (tools/devsim/CMakeLists.txt)"
#endif

namespace {

const char kUsage[] =
    "Usage: nexora-devsim [options] CONFIG\n"
    "Plays the storage devices described in CONFIG on UDP port 13579, group 224.0.0.1.\n"
    "\n"
    "Options:\n"
    "  --config FILE        the configuration file (also the first plain argument)\n"
    "  --bind ADDRESS       listen and answer on the local interface with this IPv4\n"
    "                       address; repeatable; replaces the file's 'bind' key.\n"
    "                       Default: every non-loopback IPv4 interface.\n"
    "  --log FILE           log every datagram received and sent, one line each, in\n"
    "                       hex with a timestamp, and every state change; '-' is\n"
    "                       standard output. Replaces the file's 'log' key.\n"
    "  --set [LABEL.]KEY=VALUE\n"
    "                       set a device key after reading the file, for the device\n"
    "                       of that section label or, without a label, for every\n"
    "                       device (e.g. --set nas1.silent=yes --set delay_ms=300);\n"
    "                       repeatable.\n"
    "  --loop               let this host's other sockets see the replies too\n"
    "                       (multicast loop-back; off by default)\n"
    "  --check              read and check the configuration, print the devices, exit\n"
    "  --help               this text\n"
    "  --version            the program's name and version\n"
    "\n"
    "Log lines (fields separated by one space):\n"
    "  SECONDS.MICROS rx LOCAL-ADDRESS SOURCE:PORT LENGTH HEX\n"
    "      a datagram received\n"
    "  SECONDS.MICROS tx LOCAL-ADDRESS 224.0.0.1:13579 LENGTH HEX\n"
    "      a datagram sent\n"
    "  SECONDS.MICROS note TEXT\n"
    "      start-up, state changes\n"
    "LOCAL-ADDRESS is the bound interface the datagram arrived on ('-' for none);\n"
    "HEX is the whole datagram in lower-case hex without spaces. The line\n"
    "'note ready' follows once the sockets are set up.\n"
    "\n"
    "The configuration file format is described in tools/devsim/README.md.\n"
    "SIGTERM or SIGINT ends the simulator cleanly (exit status 0).\n";

volatile sig_atomic_t g_stop = 0;
void OnSignal(int) { g_stop = 1; }

FILE* g_log = nullptr;

void LogLine(const std::string& text) {
  if (!g_log) return;
  timespec ts;
  clock_gettime(CLOCK_REALTIME, &ts);
  std::fprintf(g_log, "%lld.%06ld %s\n", static_cast<long long>(ts.tv_sec), ts.tv_nsec / 1000, text.c_str());
  std::fflush(g_log);
}

std::string Hex(const uint8_t* data, size_t n) {
  static const char digits[] = "0123456789abcdef";
  std::string s(n * 2, '0');
  for (size_t i = 0; i < n; ++i) {
    s[2 * i] = digits[data[i] >> 4];
    s[2 * i + 1] = digits[data[i] & 15];
  }
  return s;
}

int64_t MonotonicMs() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

struct Interface {
  std::string address;
  unsigned index;
};

// Interface index of each local IPv4 address; with all set, every
// non-loopback address in order.
bool LocalInterfaces(std::map<std::string, unsigned>* byAddress, std::vector<std::string>* nonLoopback) {
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return false;
  for (ifaddrs* a = list; a; a = a->ifa_next) {
    if (!a->ifa_addr || a->ifa_addr->sa_family != AF_INET) continue;
    char text[INET_ADDRSTRLEN];
    inet_ntop(AF_INET, &reinterpret_cast<sockaddr_in*>(a->ifa_addr)->sin_addr, text, sizeof text);
    (*byAddress)[text] = if_nametoindex(a->ifa_name);
    if (!(a->ifa_flags & IFF_LOOPBACK)) nonLoopback->push_back(text);
  }
  freeifaddrs(list);
  return true;
}

int Fail(const std::string& text) {
  std::fprintf(stderr, "nexora-devsim: %s\n", text.c_str());
  return 2;
}

void PrintDevices(const devsim::SimConfig& c) {
  for (const devsim::DeviceConfig& d : c.devices) {
    std::printf("%s\t%s\t%s\t%02x:%02x:%02x:%02x:%02x:%02x\ttype %d\n", d.label.c_str(),
                d.name.c_str(), d.address.c_str(), d.mac[0], d.mac[1], d.mac[2], d.mac[3],
                d.mac[4], d.mac[5], d.replyType);
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::string configPath, logPath;
  std::vector<std::string> binds, overrides;
  bool loop = false, check = false, haveLog = false;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto value = [&](std::string* out) {
      if (i + 1 >= argc) return false;
      *out = argv[++i];
      return true;
    };
    std::string v;
    if (a == "--help" || a == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (a == "--version") {
      std::fputs("nexora-devsim " NEXORA_VERSION "\n", stdout);
      return 0;
    } else if (a == "--config") {
      if (!value(&configPath)) return Fail("--config needs a file");
    } else if (a == "--bind") {
      if (!value(&v)) return Fail("--bind needs an address");
      binds.push_back(v);
    } else if (a == "--log") {
      if (!value(&logPath)) return Fail("--log needs a file");
      haveLog = true;
    } else if (a == "--set") {
      if (!value(&v)) return Fail("--set needs KEY=VALUE");
      overrides.push_back(v);
    } else if (a == "--loop")
      loop = true;
    else if (a == "--check")
      check = true;
    else if (!a.empty() && a[0] == '-')
      return Fail("unknown option " + a + " (see --help)");
    else if (configPath.empty())
      configPath = a;
    else
      return Fail("more than one configuration file (see --help)");
  }
  if (configPath.empty()) return Fail("no configuration file (see --help)");

  devsim::SimConfig config;
  std::string error;
  {
    std::ifstream in(configPath);
    if (!in) return Fail("cannot read " + configPath);
    if (!devsim::ParseConfig(in, &config, &error)) return Fail(configPath + ": " + error);
  }
  for (const std::string& o : overrides)
    if (!devsim::ApplyOverride(&config, o, &error)) return Fail("--set " + o + ": " + error);
  if (!devsim::ValidateConfig(config, &error)) return Fail(configPath + ": " + error);
  if (!binds.empty()) config.bind = binds;
  if (haveLog) config.log = logPath;
  if (check) {
    PrintDevices(config);
    return 0;
  }

  std::map<std::string, unsigned> byAddress;
  std::vector<std::string> nonLoopback;
  if (!LocalInterfaces(&byAddress, &nonLoopback)) return Fail(std::string("getifaddrs: ") + std::strerror(errno));
  if (config.bind.empty()) config.bind = nonLoopback;
  if (config.bind.empty()) return Fail("no local IPv4 interface to listen on");
  std::vector<Interface> interfaces;
  for (const std::string& b : config.bind) {
    auto it = byAddress.find(b);
    if (it == byAddress.end() || it->second == 0) return Fail("no local interface has the address " + b);
    interfaces.push_back({b, it->second});
  }

  if (!config.log.empty()) {
    g_log = config.log == "-" ? stdout : std::fopen(config.log.c_str(), "a");
    if (!g_log) return Fail("cannot open log " + config.log + ": " + std::strerror(errno));
  }

  int fd = socket(AF_INET, SOCK_DGRAM, 0);
  if (fd < 0) return Fail(std::string("socket: ") + std::strerror(errno));
  int one = 1, zero = 0, loopValue = loop ? 1 : 0;
  setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  setsockopt(fd, IPPROTO_IP, IP_PKTINFO, &one, sizeof one);
  // Only the memberships of this socket, so the arrival interface is ours.
  setsockopt(fd, IPPROTO_IP, IP_MULTICAST_ALL, &zero, sizeof zero);
  setsockopt(fd, IPPROTO_IP, IP_MULTICAST_LOOP, &loopValue, sizeof loopValue);
  sockaddr_in local{};
  local.sin_family = AF_INET;
  local.sin_port = htons(kProtocolPort);
  local.sin_addr.s_addr = htonl(INADDR_ANY);
  if (bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0)
    return Fail(std::string("bind to port 13579: ") + std::strerror(errno));
  in_addr group{};
  inet_pton(AF_INET, kProtocolGroup, &group);
  for (const Interface& i : interfaces) {
    ip_mreqn m{};
    m.imr_multiaddr = group;
    inet_pton(AF_INET, i.address.c_str(), &m.imr_address);
    m.imr_ifindex = static_cast<int>(i.index);
    if (setsockopt(fd, IPPROTO_IP, IP_ADD_MEMBERSHIP, &m, sizeof m) != 0)
      return Fail("joining 224.0.0.1 on " + i.address + ": " + std::strerror(errno));
  }

  struct sigaction sa {};
  sa.sa_handler = OnSignal;
  sigemptyset(&sa.sa_mask);
  sigaction(SIGTERM, &sa, nullptr);
  sigaction(SIGINT, &sa, nullptr);
  sigset_t blocked, waitMask;
  sigemptyset(&blocked);
  sigaddset(&blocked, SIGTERM);
  sigaddset(&blocked, SIGINT);
  sigprocmask(SIG_BLOCK, &blocked, &waitMask);
  sigdelset(&waitMask, SIGTERM);
  sigdelset(&waitMask, SIGINT);

  devsim::Simulator sim(config);
  devsim::WebServer web([](const std::string& text) { LogLine("note " + text); });
  web.Start(config.devices);
  std::string bound;
  for (const Interface& i : interfaces) bound += (bound.empty() ? "" : ",") + i.address;
  LogLine("note ready bind=" + bound + " devices=" + std::to_string(config.devices.size()));

  std::deque<devsim::Outgoing> queue;  // sorted by due time, stable
  std::vector<uint8_t> buffer(65536);
  sockaddr_in groupAddress{};
  groupAddress.sin_family = AF_INET;
  groupAddress.sin_port = htons(kProtocolPort);
  groupAddress.sin_addr = group;

  while (!g_stop) {
    int64_t now = MonotonicMs();
    // Send what is due.
    while (!queue.empty() && queue.front().dueMs <= now) {
      devsim::Outgoing o = std::move(queue.front());
      queue.pop_front();
      auto it = std::find_if(interfaces.begin(), interfaces.end(),
                             [&](const Interface& i) { return i.address == o.interface; });
      if (it == interfaces.end()) continue;
      ip_mreqn m{};
      inet_pton(AF_INET, it->address.c_str(), &m.imr_address);
      m.imr_ifindex = static_cast<int>(it->index);
      setsockopt(fd, IPPROTO_IP, IP_MULTICAST_IF, &m, sizeof m);
      ssize_t sent = sendto(fd, o.bytes.data(), o.bytes.size(), 0,
                            reinterpret_cast<sockaddr*>(&groupAddress), sizeof groupAddress);
      if (sent < 0)
        LogLine("note send failed on " + o.interface + ": " + std::strerror(errno));
      else
        LogLine("tx " + o.interface + " 224.0.0.1:13579 " + std::to_string(o.bytes.size()) + " " +
                Hex(o.bytes.data(), o.bytes.size()));
    }
    timespec timeout{}, *timeoutPtr = nullptr;
    if (!queue.empty()) {
      int64_t wait = std::max<int64_t>(0, queue.front().dueMs - MonotonicMs());
      timeout.tv_sec = wait / 1000;
      timeout.tv_nsec = (wait % 1000) * 1000000;
      timeoutPtr = &timeout;
    }
    pollfd p{fd, POLLIN, 0};
    int r = ppoll(&p, 1, timeoutPtr, &waitMask);
    if (r < 0) {
      if (errno == EINTR) continue;
      LogLine(std::string("note poll failed: ") + std::strerror(errno));
      break;
    }
    if (r == 0 || !(p.revents & POLLIN)) continue;

    sockaddr_in from{};
    iovec iov{buffer.data(), buffer.size()};
    char control[256];
    msghdr msg{};
    msg.msg_name = &from;
    msg.msg_namelen = sizeof from;
    msg.msg_iov = &iov;
    msg.msg_iovlen = 1;
    msg.msg_control = control;
    msg.msg_controllen = sizeof control;
    ssize_t n = recvmsg(fd, &msg, 0);
    if (n < 0) continue;
    unsigned arrivedOn = 0;
    for (cmsghdr* c = CMSG_FIRSTHDR(&msg); c; c = CMSG_NXTHDR(&msg, c)) {
      if (c->cmsg_level == IPPROTO_IP && c->cmsg_type == IP_PKTINFO) {
        in_pktinfo info;
        std::memcpy(&info, CMSG_DATA(c), sizeof info);
        arrivedOn = static_cast<unsigned>(info.ipi_ifindex);
      }
    }
    std::string iface = "-";
    for (const Interface& i : interfaces)
      if (i.index == arrivedOn) {
        iface = i.address;
        break;
      }
    char fromText[INET_ADDRSTRLEN];
    inet_ntop(AF_INET, &from.sin_addr, fromText, sizeof fromText);
    LogLine("rx " + iface + " " + fromText + ":" + std::to_string(ntohs(from.sin_port)) + " " +
            std::to_string(n) + " " + Hex(buffer.data(), static_cast<size_t>(n)));
    if (iface == "-") continue;
    std::vector<std::string> notes;
    std::vector<devsim::Outgoing> out =
        sim.Handle(buffer.data(), static_cast<size_t>(n), iface, MonotonicMs(), &notes);
    for (const std::string& note : notes) LogLine("note " + note);
    for (devsim::Outgoing& o : out) {
      auto pos = std::upper_bound(queue.begin(), queue.end(), o.dueMs,
                                  [](int64_t due, const devsim::Outgoing& q) { return due < q.dueMs; });
      queue.insert(pos, std::move(o));
    }
  }

  for (const Interface& i : interfaces) {
    ip_mreqn m{};
    m.imr_multiaddr = group;
    inet_pton(AF_INET, i.address.c_str(), &m.imr_address);
    m.imr_ifindex = static_cast<int>(i.index);
    setsockopt(fd, IPPROTO_IP, IP_DROP_MEMBERSHIP, &m, sizeof m);
  }
  close(fd);
  web.Stop();
  LogLine("note stopped");
  if (g_log && g_log != stdout) std::fclose(g_log);
  return 0;
}
