// Discovery: timing of the listening cycles, which replies become records
// and what the records hold.
#include <cstring>

#include "fakes.h"

namespace {

class DiscoveryTest : public ProtocolTest {
protected:
  std::vector<NasDevice*> Records() {
    std::vector<NasDevice*> out;
    for (NasDevice* d = DeviceList.head; d; d = d->next) out.push_back(d);
    return out;
  }
  // Queues replies for interface i as soon as its request goes out.
  void AnswerOn(int i, std::vector<Bytes> replies) {
    m_answers[i] = std::move(replies);
    sockets.onSend = [this](int via, const Bytes&) {
      for (const Bytes& r : m_answers[via]) sockets.Queue(via, r);
    };
  }
  std::map<int, std::vector<Bytes>> m_answers;
};

TEST_F(DiscoveryTest, RequestsGoOutFirstThenOneWindowForAllInterfaces) {
  Open({"10.0.0.1", "10.0.1.1", "10.0.2.1"});
  DiscoverDevices(3, 3);
  ASSERT_EQ(sockets.sent.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(sockets.sent[i].socket, LocalInterfaceTable.sendSocket[i]);
    EXPECT_EQ(Hex(sockets.sent[i].bytes), "01 3a 7f 01 c2 55 e0 00 00 00 00 ");
  }
  std::vector<int> expected{50};
  expected.insert(expected.end(), 31, 20);
  EXPECT_EQ(clock.pauses, expected);
  EXPECT_EQ(clock.now, 990) << "the window of one interface: 50 + 32 x 10 + 31 x 20 ms";
  const std::vector<SocketHandle> all(LocalInterfaceTable.receiveSocket,
                                      LocalInterfaceTable.receiveSocket + 3);
  ASSERT_EQ(sockets.anyWaits.size(), 32u);
  for (const auto& w : sockets.anyWaits) {
    EXPECT_EQ(w.sockets, all);
    EXPECT_EQ(w.timeoutMs, 10);
    EXPECT_EQ(w.sentBefore, 3u) << "every request goes out before the window";
  }
}

TEST_F(DiscoveryTest, ListFromOneWindow) {
  const uint8_t other[6] = {9, 9, 9, 9, 9, 9};
  auto reply = [](const std::string& ip, const std::string& name, uint8_t type = kDiscoverReply,
                  uint8_t deviceSubclass = 3) {
    DiscoveryReplyFields s;
    s.ip = ip;
    s.name = name;
    s.type = type;
    s.deviceSubclass = deviceSubclass;
    return DiscoveryReply(s);
  };
  struct Case {
    const char* what;
    int interfaces;
    std::function<void(FakeSocketLayer&)> queue;
    std::vector<std::string> expected;  // "address name interface"
  };
  std::vector<std::string> hundred;
  for (int k = 1; k <= 100; ++k)
    hundred.push_back("10.0.0." + std::to_string(100 + k) + " dev" + std::to_string(k) + " 0");
  const std::vector<Case> cases = {
      {"the same address on two interfaces: the lower interface wins, even arriving later", 2, [&](FakeSocketLayer& f) {
         f.QueueSilence(0, 3);
         f.Queue(0, reply("10.0.0.5", "via-0"));
         f.Queue(1, reply("10.0.0.5", "via-1"));
         f.Queue(1, reply("10.0.1.5", "only-1"));
       },
       {"10.0.0.5 via-0 0", "10.0.1.5 only-1 1"}},
      {"100 devices on one interface, in order of arrival", 1, [&](FakeSocketLayer& f) {
         for (int k = 1; k <= 100; ++k)
           f.Queue(0, reply("10.0.0." + std::to_string(100 + k), "dev" + std::to_string(k)));
       },
       hundred},
      {"foreign datagrams mixed in", 2, [&](FakeSocketLayer& f) {
         DiscoveryReplyFields foreign;
         foreign.ip = "10.0.0.66";
         foreign.clientId = other;
         Bytes request = reply("10.0.0.67", "request");
         request[0] = kDiscoverRequest;
         Bytes setReply = reply("10.0.0.68", "set reply");
         setReply[0] = kSetReply;
         for (int k = 0; k < 40; ++k) {
           f.Queue(0, DiscoveryReply(foreign));
           f.Queue(1, request);
           f.Queue(0, setReply);
           if (k % 10 == 0) f.Queue(k < 20 ? 0 : 1, reply("10.0.9." + std::to_string(k), "d" + std::to_string(k)));
         }
       },
       {"10.0.9.0 d0 0", "10.0.9.10 d10 0", "10.0.9.20 d20 1", "10.0.9.30 d30 1"}},
      {"class filter 3/3: classed and model replies of subclass 5 left out, type 2 kept", 1, [&](FakeSocketLayer& f) {
         f.Queue(0, reply("10.0.0.1", "classed-3", kDiscoverReplyClassed));
         f.Queue(0, reply("10.0.0.2", "classed-5", kDiscoverReplyClassed, 5));
         f.Queue(0, reply("10.0.0.3", "model-5", kDiscoverReplyModel, 5));
         f.Queue(0, reply("10.0.0.4", "plain", kDiscoverReply, 5));
         f.Queue(0, reply("10.0.0.2", "model-3", kDiscoverReplyModel));
       },
       {"10.0.0.1 classed-3 0", "10.0.0.4 plain 0", "10.0.0.2 model-3 0"}},
      {"a socket whose receive keeps failing does not hide the others", 3, [&](FakeSocketLayer& f) {
         f.QueueForever(0, SocketEvent::kReceiveError);
         f.Queue(1, reply("10.0.1.5", "one"));
         f.Queue(2, reply("10.0.2.5", "two"));
       },
       {"10.0.1.5 one 1", "10.0.2.5 two 2"}},
      {"a socket whose wait keeps failing does not hide the others", 2, [&](FakeSocketLayer& f) {
         f.QueueForever(0, SocketEvent::kWaitError);
         f.QueueSilence(1, 5);
         f.Queue(1, reply("10.0.1.5", "late"));
       },
       {"10.0.1.5 late 1"}},
  };
  const std::vector<std::string> addresses = {"10.0.0.1", "10.0.1.1", "10.0.2.1"};
  for (const Case& c : cases) {
    Open(std::vector<std::string>(addresses.begin(), addresses.begin() + c.interfaces));
    c.queue(sockets);
    DiscoverDevices(3, 3);
    std::vector<std::string> got;
    for (NasDevice* d : Records())
      got.push_back(std::string(d->ipText) + " " + d->name + " " + std::to_string(d->interfaceIndex));
    EXPECT_EQ(got, c.expected) << c.what;
    EXPECT_EQ(DeviceList.count, int(c.expected.size())) << c.what;
    CloseTransport();
  }
}

TEST_F(DiscoveryTest, AFloodCannotStretchTheWindow) {
  Open({"10.0.0.1", "10.0.1.1"});
  sockets.receiveCostMs = 1;
  Bytes noise = DiscoveryReply({});
  noise[0] = kSetReply;
  for (int k = 0; k < 2000; ++k) sockets.Queue(0, noise);
  DiscoveryReplyFields s;
  s.ip = "10.0.1.9";
  sockets.Queue(1, DiscoveryReply(s));
  DiscoverDevices(3, 3);
  EXPECT_LE(clock.now, 990 + 2) << "expected the window to end on time";
  ASSERT_EQ(DeviceList.count, 1) << "the quiet interface is still read";
  EXPECT_STREQ(DeviceList.head->ipText, "10.0.1.9");
  EXPECT_GT(sockets.Pending(0), 1000u);
}

TEST_F(DiscoveryTest, ReplyBecomesARecordWithEveryField) {
  Open({"10.0.0.1", "192.168.0.10"});
  DiscoveryReplyFields s;
  s.type = kDiscoverReplyModel;
  s.name = "Office NAS";
  s.dhcpFlag = '1';
  s.model = "KX-7200";
  AnswerOn(1, {DiscoveryReply(s)});
  DiscoverDevices(3, 3);
  ASSERT_EQ(DeviceList.count, 1);
  const NasDevice& d = *DeviceList.head;
  EXPECT_STREQ(d.name, "Office NAS");
  EXPECT_STREQ(d.ipText, "192.168.0.32");
  EXPECT_STREQ(d.netmask, "255.255.255.0");
  EXPECT_STREQ(d.gateway, "192.168.0.1");
  EXPECT_STREQ(d.dhcpFlag, "1");
  EXPECT_EQ(Hex(Bytes(d.mac, d.mac + 6)), "00 11 22 33 44 55 ");
  EXPECT_EQ(Hex(Bytes(d.ipBytes, d.ipBytes + 4)), "c0 a8 00 20 ");
  EXPECT_STREQ(d.model, "KX-7200");
  EXPECT_EQ(d.interfaceIndex, 1);
  EXPECT_EQ(DeviceList.head, DeviceList.tail);
}

TEST_F(DiscoveryTest, FirstReplyPerAddressWinsAcrossInterfacesAndTypes) {
  Open({"10.0.0.1", "10.0.1.1"});
  DiscoveryReplyFields first, again, other, onSecond;
  first.name = "first";
  again.type = kDiscoverReplyModel;
  again.name = "duplicate";
  again.model = "KX-7200";
  other.ip = "192.168.0.40";
  other.name = "other";
  onSecond.name = "via second interface";
  AnswerOn(0, {DiscoveryReply(first), DiscoveryReply(again), DiscoveryReply(other)});
  AnswerOn(1, {DiscoveryReply(onSecond)});
  DiscoverDevices(3, 3);
  auto r = Records();
  ASSERT_EQ(r.size(), 2u);
  EXPECT_STREQ(r[0]->name, "first");
  EXPECT_STREQ(r[0]->model, "");
  EXPECT_EQ(r[0]->interfaceIndex, 0);
  EXPECT_STREQ(r[1]->name, "other");
  EXPECT_EQ(DeviceList.tail, r[1]);
}

TEST_F(DiscoveryTest, ClassFilter) {
  struct Case {
    unsigned filterClass, filterSubclass;
    uint8_t type, deviceClass, deviceSubclass;
    bool accepted;
  } cases[] = {
      {3, 3, kDiscoverReplyClassed, 3, 3, true},
      {3, 3, kDiscoverReplyClassed, 3, 5, false},
      {3, 3, kDiscoverReplyModel, 3, 5, false},
      {3, 3, kDiscoverReplyModel, 4, 3, false},
      {3, 3, kDiscoverReply, 9, 9, true},  // no class in this layout
      {0, 0, kDiscoverReplyClassed, 9, 7, true},
      {0, 0, kDiscoverReplyModel, 200, 1, true},
      {3, 0, kDiscoverReplyClassed, 3, 8, true},
      {0, 3, kDiscoverReplyClassed, 8, 4, false},
  };
  Open({"10.0.0.1"});
  for (const Case& c : cases) {
    DiscoveryReplyFields s;
    s.type = c.type;
    s.deviceClass = c.deviceClass;
    s.deviceSubclass = c.deviceSubclass;
    AnswerOn(0, {DiscoveryReply(s)});
    DiscoverDevices(c.filterClass, c.filterSubclass);
    EXPECT_EQ(DeviceList.count, c.accepted ? 1 : 0)
        << "filter " << c.filterClass << "/" << c.filterSubclass << ", type " << int(c.type)
        << " class " << int(c.deviceClass) << "/" << int(c.deviceSubclass);
  }
}

TEST_F(DiscoveryTest, IgnoredDatagrams) {
  const uint8_t other[6] = {9, 9, 9, 9, 9, 9};
  Open({"10.0.0.1"});
  DiscoveryReplyFields foreignId;
  foreignId.clientId = other;
  Bytes request = DiscoveryReply({});
  request[0] = kDiscoverRequest;  // another host's request on the group
  Bytes queryReply = DiscoveryReply({});
  queryReply[0] = kQueryReply;
  Bytes truncated = DiscoveryReply({});
  truncated.resize(59);  // stops before the data of its layout
  AnswerOn(0, {DiscoveryReply(foreignId), request, queryReply, truncated});
  DiscoverDevices(0, 0);
  EXPECT_EQ(DeviceList.count, 0);
}

TEST_F(DiscoveryTest, NameModelAndTextBounds) {
  struct Case {
    const char* what;
    std::function<Bytes()> reply;
    std::string name, netmask, model;
  };
  const std::string longName(300, 'n');
  const std::vector<Case> cases = {
      {"empty name", [] { DiscoveryReplyFields s; s.name = ""; return DiscoveryReply(s); }, "",
       "255.255.255.0", ""},
      {"length larger than the datagram",
       [] {
         DiscoveryReplyFields s;
         s.name = "short";
         Bytes b = DiscoveryReply(s);
         PutLe32(b.data() + 56, 4000);
         return b;
       },
       "short", "255.255.255.0", ""},
      {"name longer than 255",
       [&] { DiscoveryReplyFields s; s.name = longName; return DiscoveryReply(s); },
       std::string(255, 'n'), "255.255.255.0", ""},
      {"length smaller than the data",
       [] {
         DiscoveryReplyFields s;
         s.name = "abcdef";
         Bytes b = DiscoveryReply(s);
         PutLe32(b.data() + 56, 3);
         return b;
       },
       "abc", "255.255.255.0", ""},
      {"netmask filling its field",
       [] { DiscoveryReplyFields s; s.netmask = "255.255.255.2550"; return DiscoveryReply(s); },
       "nas", "255.255.255.255", ""},
      {"model filling its field",
       [] {
         DiscoveryReplyFields s;
         s.type = kDiscoverReplyModel;
         s.model = std::string(32, 'M');
         return DiscoveryReply(s);
       },
       "nas", "255.255.255.0", std::string(32, 'M')},
  };
  Open({"10.0.0.1"});
  for (const Case& c : cases) {
    AnswerOn(0, {c.reply()});
    DiscoverDevices(0, 0);
    ASSERT_EQ(DeviceList.count, 1) << c.what;
    EXPECT_EQ(std::string(DeviceList.head->name), c.name) << c.what;
    EXPECT_EQ(std::string(DeviceList.head->netmask), c.netmask) << c.what;
    EXPECT_EQ(std::string(DeviceList.head->model), c.model) << c.what;
  }
}

TEST_F(DiscoveryTest, ReceiveThatKeepsFailingUsesUpCycles) {
  Open({"10.0.0.1", "10.0.1.1"});
  sockets.QueueForever(0, SocketEvent::kReceiveError);
  AnswerOn(1, {DiscoveryReply({})});
  DiscoverDevices(3, 3);
  EXPECT_EQ(sockets.receives, 33);  // 32 failing on the first, one reply on the second
  EXPECT_LE(clock.now, 990) << "expected the window to end on time";
  ASSERT_EQ(DeviceList.count, 1);
  EXPECT_EQ(DeviceList.head->interfaceIndex, 1);
}

TEST_F(DiscoveryTest, EveryDiscoveryStartsFromAnEmptyList) {
  Open({"10.0.0.1"});
  AddDevice(Device{}, 0, false);
  ASSERT_EQ(DeviceList.count, 1);
  DiscoverDevices(3, 3);
  EXPECT_TRUE(IsDeviceListEmpty());
  EXPECT_EQ(DeviceList.head, nullptr);
  EXPECT_EQ(DeviceList.tail, nullptr);
}

TEST_F(DiscoveryTest, FindDeviceByAddressComparesExactly) {
  Device a, b;
  b.ip = "192.168.0.3";
  AddDevice(a, 0, false);
  AddDevice(b, 0, false);
  EXPECT_EQ(FindDeviceByAddress("192.168.0.3"), DeviceList.tail);
  EXPECT_EQ(FindDeviceByAddress("192.168.0.32"), DeviceList.head);
  EXPECT_EQ(FindDeviceByAddress("192.168.0.3 "), nullptr);
  EXPECT_EQ(FindDeviceByAddress(""), nullptr);
  EXPECT_EQ(FindDeviceByAddress(nullptr), nullptr);
}

}  // namespace
