// The platform socket interface that the transport needs, as one seam:
// Winsock 1.1 on Windows (socket_win32.cpp), POSIX sockets on Linux
// (socket_posix.cpp). Tests replace it with a scripted fake.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

using SocketHandle = intptr_t;
constexpr SocketHandle kNoSocket = -1;

// Receive room each receive socket asks for (SO_RCVBUF): the replies that
// queue up between two listening cycles of a discovery, a hundred devices
// and more, also when other hosts discover at the same moment (their
// replies reach every member of the group), and a burst of other traffic
// in front of a reply. Older Windows gives a datagram socket only 8 KB;
// Linux caps the request at net.core.rmem_max.
constexpr int kReceiveBufferBytes = 256 * 1024;

class SocketLayer {
public:
  virtual ~SocketLayer() = default;
  // Starts the socket library (version 1.1); false when it cannot start.
  virtual bool Startup() = 0;
  virtual void Cleanup() = 0;
  // The host's IPv4 addresses as dotted text, in the resolver's order
  // (Windows: gethostbyname(gethostname())). Linux: the addresses of the
  // interfaces that are up, multicast-capable and not loopback, by
  // interface index, then address; NEXORA_INTERFACES=a.b.c.d,... chooses
  // and orders them instead (local addresses only, loopback allowed).
  virtual std::vector<std::string> HostAddresses() = 0;
  // Internet datagram socket with multicast loop-back off.
  virtual SocketHandle OpenSendSocket() = 0;
  // Datagram socket with address re-use and kReceiveBufferBytes of receive
  // room, bound to (address, port), member of the group on that interface,
  // multicast loop-back off. It delivers
  // the group's datagrams that arrive on that interface.
  virtual SocketHandle OpenReceiveSocket(const char* address, uint16_t port,
                                         const char* group) = 0;
  // Selects the outgoing multicast interface, then sends to (group, port).
  virtual void SendTo(SocketHandle s, const char* interfaceAddress,
                      const char* group, uint16_t port,
                      const uint8_t* data, size_t length) = 0;
  // Waits up to timeoutMs for s to become readable: 1 readable, 0 timed
  // out, -1 error.
  virtual int WaitReadable(SocketHandle s, int timeoutMs) = 0;
  // Waits up to timeoutMs for any of the count sockets to become readable
  // (kNoSocket entries are left out): 1 one or more readable, 0 timed out
  // or no socket to wait on, -1 error. Which ones are readable is asked
  // afterwards with WaitReadable(s, 0).
  virtual int WaitAnyReadable(const SocketHandle* sockets, int count, int timeoutMs) = 0;
  // Receives one datagram of at most capacity bytes: its length, or -1.
  virtual int Receive(SocketHandle s, uint8_t* buffer, size_t capacity) = 0;
  virtual void Close(SocketHandle s) = 0;
};

// The platform layer of this build.
SocketLayer& PlatformSocketLayer();
// The layer in use; SetSocketLayer(nullptr) restores the platform layer.
SocketLayer& ActiveSocketLayer();
void SetSocketLayer(SocketLayer* layer);
