// The Winsock layer on this machine: start-up, one receive socket on
// loopback with a private port, the 10 ms readiness waits, teardown.
// Nothing is sent.
#include <winsock.h>
#include <windows.h>

#include <chrono>

#include <gtest/gtest.h>

#include "packet.h"
#include "socket_layer.h"

namespace {

TEST(Win32SocketLayerTest, StartsWaitsAndCloses) {
  SocketLayer& layer = PlatformSocketLayer();
  ASSERT_TRUE(layer.Startup());
  for (const std::string& a : layer.HostAddresses()) EXPECT_FALSE(a.empty());
  const uint16_t port = uint16_t(40000 + GetCurrentProcessId() % 20000);
  const SocketHandle r = layer.OpenReceiveSocket("127.0.0.1", port, kProtocolGroup);
  ASSERT_NE(r, kNoSocket);
  int room = 0;
  int roomLength = sizeof room;
  ASSERT_EQ(getsockopt(SOCKET(r), SOL_SOCKET, SO_RCVBUF, reinterpret_cast<char*>(&room), &roomLength), 0);
  EXPECT_GE(room, kReceiveBufferBytes) << "room for the replies of a hundred devices and more";
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(layer.WaitReadable(r, kPollWaitMs), 0);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(8))
      << "the readiness wait must last about its 10 ms";
  // A socket that could not be made must not turn the common wait into
  // an error for the others.
  const SocketHandle set[] = {kNoSocket, r};
  EXPECT_EQ(layer.WaitAnyReadable(set, 2, kPollWaitMs), 0);
  EXPECT_EQ(layer.WaitAnyReadable(set, 1, kPollWaitMs), 0);
  const SocketHandle s = layer.OpenSendSocket();
  EXPECT_NE(s, kNoSocket);
  layer.Close(s);
  layer.Close(r);
  layer.Cleanup();
}

}  // namespace
