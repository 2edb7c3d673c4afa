// The POSIX socket layer on loopback only: a private port, and a sender
// whose multicast stays inside this host (interface 127.0.0.1, TTL 0).
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <gtest/gtest.h>

#include "packet.h"
#include "socket_layer.h"

namespace {

class ScopedEnv {
public:
  ScopedEnv(const char* name, const char* value) : m_name(name) {
    if (const char* old = std::getenv(name)) m_old = old, m_had = true;
    setenv(name, value, 1);
  }
  ~ScopedEnv() {
    if (m_had)
      setenv(m_name, m_old.c_str(), 1);
    else
      unsetenv(m_name);
  }

private:
  const char* m_name;
  std::string m_old;
  bool m_had = false;
};

uint16_t PrivatePort() { return uint16_t(40000 + (getpid() % 20000)); }

// Sends one datagram to the group through loopback; it is delivered on
// this host only.
void SendOnLoopback(uint16_t port, const std::string& payload) {
  const int s = socket(AF_INET, SOCK_DGRAM, 0);
  ASSERT_GE(s, 0);
  in_addr lo{};
  inet_pton(AF_INET, "127.0.0.1", &lo);
  const unsigned char ttl = 0, loop = 1;
  ASSERT_EQ(setsockopt(s, IPPROTO_IP, IP_MULTICAST_IF, &lo, sizeof lo), 0);
  ASSERT_EQ(setsockopt(s, IPPROTO_IP, IP_MULTICAST_TTL, &ttl, sizeof ttl), 0);
  ASSERT_EQ(setsockopt(s, IPPROTO_IP, IP_MULTICAST_LOOP, &loop, sizeof loop), 0);
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(port);
  inet_pton(AF_INET, kProtocolGroup, &to.sin_addr);
  ASSERT_EQ(sendto(s, payload.data(), payload.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to),
            ssize_t(payload.size()));
  close(s);
}

TEST(PosixSocketLayerTest, InterfaceListLeavesOutLoopbackUnlessNamed) {
  SocketLayer& layer = PlatformSocketLayer();
  {
    ScopedEnv env("NEXORA_INTERFACES", "127.0.0.1,203.0.113.77,127.0.0.1");
    const auto chosen = layer.HostAddresses();
    EXPECT_EQ(chosen, std::vector<std::string>{"127.0.0.1"})
        << "named local addresses only, once each";
  }
  unsetenv("NEXORA_INTERFACES");
  for (const std::string& a : layer.HostAddresses()) EXPECT_NE(a.rfind("127.", 0), 0u) << a;
}

TEST(PosixSocketLayerTest, ReceiveSocketGetsTheGroupsDatagramsOfItsInterface) {
  SocketLayer& layer = PlatformSocketLayer();
  const uint16_t port = PrivatePort();
  const SocketHandle r = layer.OpenReceiveSocket("127.0.0.1", port, kProtocolGroup);
  ASSERT_NE(r, kNoSocket);
  // Linux grants at most net.core.rmem_max and reports twice what it grants.
  int room = 0;
  socklen_t roomLength = sizeof room;
  ASSERT_EQ(getsockopt(int(r), SOL_SOCKET, SO_RCVBUF, &room, &roomLength), 0);
  long rmemMax = kReceiveBufferBytes;
  if (FILE* f = std::fopen("/proc/sys/net/core/rmem_max", "r")) {
    if (std::fscanf(f, "%ld", &rmemMax) != 1) rmemMax = kReceiveBufferBytes;
    std::fclose(f);
  }
  EXPECT_GE(room, 2 * std::min<long>(kReceiveBufferBytes, rmemMax)) << "the receive room asked for";

  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(layer.WaitReadable(r, 10), 0);
  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_GE(waited, std::chrono::milliseconds(9)) << "the wait must last its time-out";

  SendOnLoopback(port, "hello");
  ASSERT_EQ(layer.WaitReadable(r, 500), 1);
  uint8_t buffer[kPacketBuffer + 1];
  EXPECT_EQ(layer.Receive(r, buffer, kPacketBuffer), 5);
  EXPECT_EQ(std::memcmp(buffer, "hello", 5), 0);

  // Larger than the buffer: a failed receive, as with Winsock.
  SendOnLoopback(port, std::string(kPacketBuffer + 1, 'x'));
  ASSERT_EQ(layer.WaitReadable(r, 500), 1);
  EXPECT_EQ(layer.Receive(r, buffer, kPacketBuffer), -1);
  EXPECT_EQ(layer.WaitReadable(r, 10), 0);
  layer.Close(r);
}

TEST(PosixSocketLayerTest, WaitForAnySocketSkipsMissingOnesAndWakesOnData) {
  SocketLayer& layer = PlatformSocketLayer();
  const uint16_t port = PrivatePort() + 1;
  const SocketHandle r = layer.OpenReceiveSocket("127.0.0.1", port, kProtocolGroup);
  ASSERT_NE(r, kNoSocket);
  const SocketHandle set[] = {kNoSocket, r};
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(layer.WaitAnyReadable(set, 2, 10), 0) << "a missing socket is no error";
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(9))
      << "the wait must last its time-out";
  EXPECT_EQ(layer.WaitAnyReadable(set, 1, 10), 0) << "nothing to wait on";

  SendOnLoopback(port, "hello");
  EXPECT_EQ(layer.WaitAnyReadable(set, 2, 500), 1);
  EXPECT_EQ(layer.WaitReadable(r, 0), 1) << "the datagram is still there to be taken";
  layer.Close(r);
}

}  // namespace
