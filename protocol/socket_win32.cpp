// Winsock 1.1 (wsock32) behind SocketLayer. <winsock.h> carries the
// version 1.1 option numbering that wsock32 expects; <winsock2.h> numbers
// the IP options differently and must not be mixed in.
#include <winsock.h>

#include <cstring>

#include "socket_layer.h"
#include "ui_wait.h"

static_assert(IPPROTO_IP == 0, "Winsock 1.1 numbering");
static_assert(IP_MULTICAST_IF == 2, "Winsock 1.1 numbering");
static_assert(IP_MULTICAST_LOOP == 4, "Winsock 1.1 numbering");
static_assert(IP_ADD_MEMBERSHIP == 5, "Winsock 1.1 numbering");
static_assert(SOL_SOCKET == 0xffff, "Winsock 1.1 numbering");
static_assert(SO_REUSEADDR == 4, "Winsock 1.1 numbering");
static_assert(sizeof(ip_mreq) == 8, "membership request: group, then interface");
static_assert(SocketHandle(INVALID_SOCKET) == kNoSocket, "invalid socket maps to kNoSocket");

namespace {

constexpr int kHostNameBuffer = 128;

// The longest select between two checks of the windows' queue. The
// protocol's polls are 10 ms, a single slice; longer waits are cut into
// slices whose lengths add up to the wait.
constexpr int kSelectSliceMs = 50;

// select on the sockets of wanted for up to timeoutMs, serving the windows
// between slices (ui_wait.h). readable receives the readable ones. Returns
// select's count (0 after the whole wait) or -1 on error.
int SelectServingWindows(const fd_set* wanted, fd_set* readable, int timeoutMs) {
  int left = timeoutMs < 0 ? 0 : timeoutMs;
  ServedWait wait;  // one span for all slices
  for (;;) {
    wait.Serve();
    const int slice = left < kSelectSliceMs ? left : kSelectSliceMs;
    *readable = *wanted;
    timeval timeout;
    timeout.tv_sec = slice / 1000;
    timeout.tv_usec = (slice % 1000) * 1000;  // 10 ms: 0 s 10000 us
    const int r = select(0, readable, nullptr, nullptr, &timeout);
    if (r == SOCKET_ERROR) return -1;
    left -= slice;
    if (r > 0 || left <= 0) return r;
  }
}

class Win32SocketLayer final : public SocketLayer {
public:
  bool Startup() override {
    WSADATA data;
    return WSAStartup(0x0101, &data) == 0;
  }

  void Cleanup() override { WSACleanup(); }

  // The host name's address list, in the resolver's order. An empty list
  // when the name cannot be had or resolved.
  std::vector<std::string> HostAddresses() override {
    std::vector<std::string> out;
    char name[kHostNameBuffer] = {};
    if (gethostname(name, kHostNameBuffer) != 0) return out;
    name[kHostNameBuffer - 1] = 0;
    const hostent* host = gethostbyname(name);
    if (!host || host->h_addrtype != AF_INET || host->h_length != 4 || !host->h_addr_list)
      return out;
    for (int i = 0; i < 8 && host->h_addr_list[i]; ++i) {
      in_addr a;
      std::memcpy(&a, host->h_addr_list[i], sizeof a);
      out.push_back(inet_ntoa(a));
    }
    return out;
  }

  SocketHandle OpenSendSocket() override {
    const SOCKET s = socket(AF_INET, SOCK_DGRAM, 0);
    const char loop = 0;
    setsockopt(s, IPPROTO_IP, IP_MULTICAST_LOOP, &loop, 1);
    return SocketHandle(s);
  }

  SocketHandle OpenReceiveSocket(const char* address, uint16_t port, const char* group) override {
    const SOCKET s = socket(AF_INET, SOCK_DGRAM, 0);
    const char reuse = 1;
    setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &reuse, 1);
    const int room = kReceiveBufferBytes;
    setsockopt(s, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&room), sizeof room);
    sockaddr_in local;
    std::memset(&local, 0, sizeof local);
    local.sin_family = AF_INET;
    local.sin_port = htons(port);
    local.sin_addr.s_addr = inet_addr(address);
    (void)bind(s, reinterpret_cast<const sockaddr*>(&local), sizeof local);  // a failed bind shows as a silent device
    ip_mreq join;
    join.imr_multiaddr.s_addr = inet_addr(group);
    join.imr_interface.s_addr = inet_addr(address);
    setsockopt(s, IPPROTO_IP, IP_ADD_MEMBERSHIP, reinterpret_cast<const char*>(&join), 8);
    const char loop = 0;
    setsockopt(s, IPPROTO_IP, IP_MULTICAST_LOOP, &loop, 1);
    return SocketHandle(s);
  }

  void SendTo(SocketHandle s, const char* interfaceAddress, const char* group, uint16_t port,
              const uint8_t* data, size_t length) override {
    in_addr via;
    via.s_addr = inet_addr(interfaceAddress);
    setsockopt(SOCKET(s), IPPROTO_IP, IP_MULTICAST_IF, reinterpret_cast<const char*>(&via), 4);
    sockaddr_in to;
    std::memset(&to, 0, sizeof to);
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = inet_addr(group);
    sendto(SOCKET(s), reinterpret_cast<const char*>(data), int(length), 0,
           reinterpret_cast<const sockaddr*>(&to), 16);
  }

  int WaitReadable(SocketHandle s, int timeoutMs) override {
    fd_set wanted;
    FD_ZERO(&wanted);
    FD_SET(SOCKET(s), &wanted);
    fd_set readable = wanted;
    const int r = SelectServingWindows(&wanted, &readable, timeoutMs);
    if (r < 0) return -1;
    return r > 0 && __WSAFDIsSet(SOCKET(s), &readable) ? 1 : 0;
  }

  int WaitAnyReadable(const SocketHandle* sockets, int count, int timeoutMs) override {
    fd_set wanted;
    FD_ZERO(&wanted);
    for (int i = 0; i < count; ++i)
      if (sockets[i] != kNoSocket) FD_SET(SOCKET(sockets[i]), &wanted);
    if (wanted.fd_count == 0) return 0;  // select refuses an empty set
    fd_set readable = wanted;
    const int r = SelectServingWindows(&wanted, &readable, timeoutMs);
    if (r < 0) return -1;
    return r > 0 ? 1 : 0;
  }

  int Receive(SocketHandle s, uint8_t* buffer, size_t capacity) override {
    sockaddr_in from;  // not used: the header names the device
    int fromLength = sizeof from;
    const int n = recvfrom(SOCKET(s), reinterpret_cast<char*>(buffer), int(capacity), 0,
                           reinterpret_cast<sockaddr*>(&from), &fromLength);
    return n == SOCKET_ERROR ? -1 : n;
  }

  void Close(SocketHandle s) override { closesocket(SOCKET(s)); }
};

}  // namespace

SocketLayer& PlatformSocketLayer() {
  static Win32SocketLayer layer;
  return layer;
}
