// POSIX sockets (Linux) behind SocketLayer, made to behave like the
// Winsock 1.1 layer of the Windows build.
//
// Two things differ from Windows and are handled here:
//
// * The host name usually resolves to a loopback address, so the local
//   interface list comes from getifaddrs instead: every IPv4 address of an
//   interface that is up and multicast-capable and is not loopback, ordered
//   by interface index, then by address (numerically). NEXORA_INTERFACES
//   (comma-separated dotted addresses, e.g. "10.9.0.1,10.9.1.1") replaces
//   that list with the given addresses in the given order, each of which
//   must be an IPv4 address of a local interface (loopback allowed); others
//   are left out.
//
// * A UDP socket bound to a unicast address does not receive multicast on
//   Linux. Each receive socket is therefore bound to INADDR_ANY:port with
//   SO_REUSEADDR (so that the sockets of several interfaces, and other
//   programs that set it, share the port) and joins the group on its
//   interface address. Each must deliver only what arrived on its own
//   interface, as a Windows socket bound to that interface's address does:
//   - IP_MULTICAST_ALL is turned off, so the kernel delivers to the socket
//     only the groups that it joined itself, on the interface it joined
//     them on;
//   - IP_PKTINFO is turned on, and WaitReadable and Receive read and
//     discard every datagram whose arrival interface (ipi_ifindex) is not
//     the socket's own (unicast datagrams to the port, older kernels).
//   SO_REUSEPORT is deliberately not set: with it, the kernel hands a
//   group's datagram to one socket of the port group only, and together
//   with IP_MULTICAST_ALL off, the sockets of all but one interface then
//   receive nothing.
#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <tuple>
#include <vector>

#include "socket_layer.h"

namespace {

struct LocalAddress {
  unsigned ifindex;
  uint32_t address;  // host order, for sorting
  unsigned flags;
  std::string text;
};

std::vector<LocalAddress> InterfaceAddresses() {
  std::vector<LocalAddress> out;
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return out;
  for (ifaddrs* a = list; a; a = a->ifa_next) {
    if (!a->ifa_addr || a->ifa_addr->sa_family != AF_INET) continue;
    const in_addr addr = reinterpret_cast<const sockaddr_in*>(a->ifa_addr)->sin_addr;
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &addr, text, sizeof text);
    out.push_back({if_nametoindex(a->ifa_name), ntohl(addr.s_addr), a->ifa_flags, text});
  }
  freeifaddrs(list);
  std::sort(out.begin(), out.end(), [](const LocalAddress& x, const LocalAddress& y) {
    return std::tie(x.ifindex, x.address) < std::tie(y.ifindex, y.address);
  });
  return out;
}

// Interface index of a local IPv4 address; 0 when none has it.
unsigned IndexOfAddress(const char* address) {
  in_addr a{};
  if (inet_pton(AF_INET, address, &a) != 1) return 0;
  for (const LocalAddress& l : InterfaceAddresses())
    if (l.address == ntohl(a.s_addr)) return l.ifindex;
  return 0;
}

in_addr AddressOf(const char* text) {
  in_addr a{};
  if (!text || inet_pton(AF_INET, text, &a) != 1) a.s_addr = htonl(INADDR_ANY);
  return a;
}

// recvmsg of one datagram into buffer with its arrival interface
// (IP_PKTINFO; 0 when it carries none) in *arrival and the message flags
// (MSG_TRUNC) in *messageFlags. recvmsg's result.
ssize_t ReceiveWithArrival(int fd, void* buffer, size_t capacity, int flags, unsigned* arrival,
                           int* messageFlags) {
  iovec io{buffer, capacity};
  alignas(cmsghdr) unsigned char control[CMSG_SPACE(sizeof(in_pktinfo))];
  msghdr msg{};
  msg.msg_iov = &io;
  msg.msg_iovlen = 1;
  msg.msg_control = control;
  msg.msg_controllen = sizeof control;
  const ssize_t n = recvmsg(fd, &msg, flags);
  *arrival = 0;
  *messageFlags = msg.msg_flags;
  if (n < 0) return n;
  for (cmsghdr* c = CMSG_FIRSTHDR(&msg); c; c = CMSG_NXTHDR(&msg, c)) {
    if (c->cmsg_level == IPPROTO_IP && c->cmsg_type == IP_PKTINFO) {
      in_pktinfo info;
      std::memcpy(&info, CMSG_DATA(c), sizeof info);
      *arrival = unsigned(info.ipi_ifindex);
      break;
    }
  }
  return n;
}

class PosixSocketLayer final : public SocketLayer {
public:
  bool Startup() override { return true; }
  void Cleanup() override {}

  std::vector<std::string> HostAddresses() override {
    std::vector<std::string> out;
    const std::vector<LocalAddress> all = InterfaceAddresses();
    if (const char* chosen = std::getenv("NEXORA_INTERFACES")) {
      std::string list = chosen;
      size_t start = 0;
      while (start <= list.size()) {
        size_t end = list.find(',', start);
        if (end == std::string::npos) end = list.size();
        const std::string item = list.substr(start, end - start);
        const bool local = std::any_of(all.begin(), all.end(),
                                       [&](const LocalAddress& l) { return l.text == item; });
        if (local && std::find(out.begin(), out.end(), item) == out.end()) out.push_back(item);
        start = end + 1;
      }
      return out;
    }
    for (const LocalAddress& l : all) {
      if ((l.flags & IFF_UP) && (l.flags & IFF_MULTICAST) && !(l.flags & IFF_LOOPBACK))
        out.push_back(l.text);
    }
    return out;
  }

  SocketHandle OpenSendSocket() override {
    const int s = socket(AF_INET, SOCK_DGRAM, 0);
    if (s < 0) return kNoSocket;
    const unsigned char loop = 0;
    setsockopt(s, IPPROTO_IP, IP_MULTICAST_LOOP, &loop, sizeof loop);
    return s;
  }

  SocketHandle OpenReceiveSocket(const char* address, uint16_t port, const char* group) override {
    const int s = socket(AF_INET, SOCK_DGRAM, 0);
    if (s < 0) return kNoSocket;
    const int on = 1;
    const int off = 0;
    setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    const int room = kReceiveBufferBytes;
    setsockopt(s, SOL_SOCKET, SO_RCVBUF, &room, sizeof room);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(port);
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    (void)bind(s, reinterpret_cast<const sockaddr*>(&local), sizeof local);  // a failed bind shows as a silent device
    ip_mreq join{};
    join.imr_multiaddr = AddressOf(group);
    join.imr_interface = AddressOf(address);
    setsockopt(s, IPPROTO_IP, IP_ADD_MEMBERSHIP, &join, sizeof join);
    const unsigned char loop = 0;
    setsockopt(s, IPPROTO_IP, IP_MULTICAST_LOOP, &loop, sizeof loop);
#ifdef IP_MULTICAST_ALL
    setsockopt(s, IPPROTO_IP, IP_MULTICAST_ALL, &off, sizeof off);
#endif
    setsockopt(s, IPPROTO_IP, IP_PKTINFO, &on, sizeof on);
    const unsigned ifindex = IndexOfAddress(address);
    std::lock_guard<std::mutex> lock(m_mutex);
    m_interfaceOf[s] = ifindex;
    return s;
  }

  void SendTo(SocketHandle s, const char* interfaceAddress, const char* group, uint16_t port,
              const uint8_t* data, size_t length) override {
    const in_addr via = AddressOf(interfaceAddress);
    setsockopt(int(s), IPPROTO_IP, IP_MULTICAST_IF, &via, sizeof via);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr = AddressOf(group);
    sendto(int(s), data, length, 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
  }

  int WaitReadable(SocketHandle s, int timeoutMs) override {
    const int fd = int(s);
    if (fd < 0) return -1;
    const unsigned mine = InterfaceOf(fd);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - std::chrono::steady_clock::now());
      pollfd p{fd, POLLIN, 0};
      const int r = poll(&p, 1, left.count() > 0 ? int(left.count()) : 0);
      if (r < 0) {
        if (errno == EINTR) continue;
        return -1;
      }
      if (r == 0) return 0;
      // Look at the next datagram's arrival interface without taking it.
      unsigned char byte;
      unsigned arrival = 0;
      int messageFlags = 0;
      if (ReceiveWithArrival(fd, &byte, 1, MSG_PEEK | MSG_DONTWAIT, &arrival, &messageFlags) < 0) {
        if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) continue;
        return 1;  // readable; Receive reports the error
      }
      if (mine == 0 || arrival == mine) return 1;
      recv(fd, &byte, 1, MSG_DONTWAIT);  // another interface's datagram
      if (std::chrono::steady_clock::now() >= deadline) return 0;
    }
  }

  // Datagrams that arrived on another interface than their socket's do
  // not make it readable (WaitReadable drops them).
  int WaitAnyReadable(const SocketHandle* sockets, int count, int timeoutMs) override {
    std::vector<pollfd> fds;
    for (int i = 0; i < count; ++i)
      if (sockets[i] >= 0) fds.push_back({int(sockets[i]), POLLIN, 0});
    if (fds.empty()) return 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - std::chrono::steady_clock::now());
      for (pollfd& p : fds) p.revents = 0;
      const int r = poll(fds.data(), fds.size(), left.count() > 0 ? int(left.count()) : 0);
      if (r < 0) {
        if (errno == EINTR) continue;
        return -1;
      }
      if (r == 0) return 0;
      for (const pollfd& p : fds)
        if (p.revents != 0 && WaitReadable(p.fd, 0) != 0) return 1;
      if (std::chrono::steady_clock::now() >= deadline) return 0;
    }
  }

  int Receive(SocketHandle s, uint8_t* buffer, size_t capacity) override {
    const int fd = int(s);
    if (fd < 0) return -1;
    const unsigned mine = InterfaceOf(fd);
    for (;;) {
      unsigned arrival = 0;
      int messageFlags = 0;
      const ssize_t n = ReceiveWithArrival(fd, buffer, capacity, MSG_DONTWAIT, &arrival, &messageFlags);
      if (n < 0) return -1;
      if (mine != 0 && arrival != mine) continue;  // another interface's
      // A datagram larger than the buffer is a failed receive, as
      // with Winsock (WSAEMSGSIZE).
      if (messageFlags & MSG_TRUNC) return -1;
      return int(n);
    }
  }

  void Close(SocketHandle s) override {
    if (s < 0) return;
    close(int(s));
    std::lock_guard<std::mutex> lock(m_mutex);
    m_interfaceOf.erase(int(s));
  }

private:
  unsigned InterfaceOf(int fd) {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_interfaceOf.find(fd);
    return it == m_interfaceOf.end() ? 0 : it->second;
  }

  std::mutex m_mutex;
  std::map<int, unsigned> m_interfaceOf;  // receive socket -> its interface index
};

}  // namespace

SocketLayer& PlatformSocketLayer() {
  static PosixSocketLayer layer;
  return layer;
}
