// The device simulator's configuration parsing and reply building, without
// sockets. Offsets are written out as numbers here on purpose, so that a
// wrong layout constant in the simulator shows up.
#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "devsim_config.h"
#include "devsim_device.h"
#include "packet.h"

using namespace devsim;
using namespace std::string_literals;

namespace {

const uint8_t kId[10] = {0x3A, 0x7F, 0x01, 0xC2, 0x55, 0xE0, 0, 0, 0, 0};

SimConfig Parse(const std::string& text) {
  std::istringstream in(text);
  SimConfig c;
  std::string error;
  EXPECT_TRUE(ParseConfig(in, &c, &error)) << error;
  return c;
}

std::string Text(const std::vector<uint8_t>& d, size_t offset, size_t width) {
  std::string s;
  for (size_t i = offset; i < offset + width && i < d.size() && d[i]; ++i) s.push_back(char(d[i]));
  return s;
}

uint32_t Le32(const std::vector<uint8_t>& d, size_t offset) {
  return d[offset] | d[offset + 1] << 8 | d[offset + 2] << 16 | uint32_t(d[offset + 3]) << 24;
}

std::vector<uint8_t> Discover() {
  std::vector<uint8_t> r(11, 0);
  r[0] = 1;
  std::memcpy(r.data() + 1, kId, 10);
  return r;
}

// Query (type 3) or set (type 5) request to mac/address.
std::vector<uint8_t> Request(uint8_t type, const uint8_t mac[6], const uint8_t ip[4], uint8_t code,
                             const std::string& data, const std::string& netmask = "",
                             const std::string& gateway = "") {
  size_t lengthAt = type == 3 ? 24 : 56;
  std::vector<uint8_t> r(lengthAt + 4 + data.size(), 0);
  r[0] = type;
  std::memcpy(r.data() + 1, kId, 10);
  std::memcpy(r.data() + 11, mac, 6);
  std::memcpy(r.data() + 17, ip, 4);
  r[21] = code;
  if (type == 5) {
    std::memcpy(r.data() + 24, netmask.data(), std::min<size_t>(16, netmask.size()));
    std::memcpy(r.data() + 40, gateway.data(), std::min<size_t>(16, gateway.size()));
  }
  r[lengthAt] = uint8_t(data.size());
  r[lengthAt + 1] = uint8_t(data.size() >> 8);
  std::memcpy(r.data() + lengthAt + 4, data.data(), data.size());
  return r;
}

const char kTwoDevices[] =
    "# two devices\n"
    "bind = 10.0.0.2, 10.0.1.2\n"
    "[device nas1]\n"
    "name = NAS One\n"
    "mac = 00:11:22:33:44:55\n"
    "address = 192.168.0.32\n"
    "gateway = 192.168.0.1\n"
    "model = KX-7200\n"
    "password = \" pw \"\n"
    "shares = HDD_1:USB\n"
    "dhcp-address = 192.168.0.77\n"
    "restart_ms = 1000\n"
    "[device]\n"
    "mac = 00-11-22-33-44-66\n"
    "address = 192.168.0.33\n"
    "reply_type = 2\n"
    "lanconfig = LAN1:192.168.0.33:255.255.255.0::0:LAN2:10.0.0.2:255.0.0.0::0\n";

class SimulatorTest : public ::testing::Test {
protected:
  SimConfig config = Parse(kTwoDevices);
  Simulator* sim = nullptr;
  std::vector<std::string> notes;
  const uint8_t mac1[6] = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55};
  const uint8_t ip1[4] = {192, 168, 0, 32};
  const uint8_t mac2[6] = {0x00, 0x11, 0x22, 0x33, 0x44, 0x66};
  const uint8_t ip2[4] = {192, 168, 0, 33};

  void TearDown() override { delete sim; }
  void Start() { sim = new Simulator(config); }
  std::vector<Outgoing> Send(const std::vector<uint8_t>& d, int64_t now = 1000) {
    if (!sim) Start();
    return sim->Handle(d.data(), d.size(), "10.0.0.2", now, &notes);
  }
  std::vector<uint8_t> One(const std::vector<uint8_t>& d, int64_t now = 1000) {
    std::vector<Outgoing> out = Send(d, now);
    EXPECT_EQ(1u, out.size());
    return out.empty() ? std::vector<uint8_t>() : out[0].bytes;
  }
};

}  // namespace

TEST(DevsimConfig, ReadsEveryKindOfLine) {
  SimConfig c = Parse(kTwoDevices);
  ASSERT_EQ(2u, c.devices.size());
  EXPECT_EQ((std::vector<std::string>{"10.0.0.2", "10.0.1.2"}), c.bind);
  const DeviceConfig& a = c.devices[0];
  EXPECT_EQ("nas1", a.label);
  EXPECT_EQ("NAS One", a.name);
  EXPECT_EQ(0x55, a.mac[5]);
  EXPECT_EQ("192.168.0.1", a.gateway);
  EXPECT_EQ(" pw ", a.password) << "quotes keep blanks";
  EXPECT_EQ("192.168.0.77", a.dhcpAddress) << "'-' in a key reads as '_'";
  EXPECT_EQ(8, a.replyType);
  const DeviceConfig& b = c.devices[1];
  EXPECT_EQ("device2", b.label);
  EXPECT_EQ(0x66, b.mac[5]) << "'-' between MAC pairs";
  EXPECT_EQ(2, b.replyType);
  EXPECT_EQ("255.255.255.0", b.netmask) << "default";
}

TEST(DevsimConfig, RefusesBadLinesNamingTheLine) {
  struct Case {
    const char* text;
    const char* error;
  } cases[] = {
      {"[device]\ncolour = red\n", "line 2: unknown device key 'colour'"},
      {"[device]\nmac = 00:11:22:33:44\n", "line 2: bad value for mac"},
      {"[device]\naddress = 10.0.0.256\n", "line 2: bad value for address"},
      {"[device]\nreply_type = 5\n", "line 2: bad value for reply_type (2, 7 or 8)"},
      {"[device]\nsilent_on = sometimes\n", "line 2: bad value for silent_on"},
      {"[device]\nmalformed = wobbly\n", "line 2: bad value for malformed"},
      {"[device]\nweb = maybe\n", "line 2: bad value for web (yes or no)"},
      {"[printer]\n", "line 1: unknown section 'printer'"},
      {"[device\n", "line 1: section header without ']'"},
      {"\n\n[device]\nname\n", "line 4: expected key = value"},
      {"[device a]\n[device a]\n", "line 2: second device labelled 'a'"},
      {"name = x\n", "line 1: unknown global key 'name'"},
      {"bind = 10.0.0.1, nowhere\n", "line 1: bad bind address 'nowhere'"},
  };
  for (const Case& c : cases) {
    std::istringstream in(c.text);
    SimConfig config;
    std::string error;
    EXPECT_FALSE(ParseConfig(in, &config, &error)) << c.text;
    EXPECT_EQ(0u, error.find(c.error)) << "text: " << c.text << "\nexpected: " << c.error << "\ngot: " << error;
  }
}

TEST(DevsimConfig, OverridesOneDeviceOrAll) {
  SimConfig c = Parse(kTwoDevices);
  std::string error;
  EXPECT_TRUE(ApplyOverride(&c, "nas1.silent=yes", &error)) << error;
  EXPECT_TRUE(c.devices[0].faults.silent);
  EXPECT_FALSE(c.devices[1].faults.silent);
  EXPECT_TRUE(ApplyOverride(&c, "nas1.web=no", &error)) << error;
  EXPECT_FALSE(c.devices[0].web);
  EXPECT_TRUE(c.devices[1].web) << "serves its page by default";
  EXPECT_TRUE(ApplyOverride(&c, "delay_ms = 300", &error)) << error;
  EXPECT_EQ(300, c.devices[0].faults.delayMs);
  EXPECT_EQ(300, c.devices[1].faults.delayMs);
  EXPECT_FALSE(ApplyOverride(&c, "nas9.silent=yes", &error));
  EXPECT_EQ("no device labelled 'nas9'", error);
  EXPECT_FALSE(ApplyOverride(&c, "silent", &error));

  SimConfig noMac = Parse("[device x]\naddress = 10.0.0.1\n");
  EXPECT_FALSE(ValidateConfig(noMac, &error));
  EXPECT_EQ("device 'x' has no mac", error);
}

TEST(DevsimLanConfig, SplitsAndJoinsKeepingEmptyFields) {
  const std::string text = "LAN1:192.168.0.32:255.255.255.0::1:LAN2:10.0.0.2:255.0.0.0::0";
  std::vector<LanPort> ports = SplitLanConfigText(text);
  ASSERT_EQ(2u, ports.size());
  EXPECT_EQ("", ports[0].gateway);
  EXPECT_EQ("1", ports[0].mode);
  EXPECT_EQ("10.0.0.2", ports[1].address);
  EXPECT_EQ(text, JoinLanConfigText(ports));
  EXPECT_EQ(1u, SplitLanConfigText("eth0:1.2.3.4:255.0.0.0:1.2.3.1:0:extra").size()) << "incomplete port left out";
  EXPECT_TRUE(SplitLanConfigText("").empty());
}

TEST_F(SimulatorTest, DiscoveryRepliesFollowTheLayouts) {
  std::vector<Outgoing> out = Send(Discover());
  ASSERT_EQ(2u, out.size());
  const std::vector<uint8_t>& m = out[0].bytes;  // type 8
  ASSERT_EQ(104u + 7, m.size());
  EXPECT_EQ(8, m[0]);
  EXPECT_EQ(0, std::memcmp(m.data() + 1, kId, 10)) << "client id echoed";
  EXPECT_EQ(0, std::memcmp(m.data() + 11, mac1, 6));
  EXPECT_EQ(0, std::memcmp(m.data() + 17, ip1, 4));
  EXPECT_EQ('0', m[21]) << "DHCP flag character";
  EXPECT_EQ("255.255.255.0", Text(m, 24, 16));
  EXPECT_EQ("192.168.0.1", Text(m, 40, 16));
  EXPECT_EQ(3, m[56]);
  EXPECT_EQ(3, m[57]);
  EXPECT_EQ("KX-7200", Text(m, 68, 32));
  EXPECT_EQ(7u, Le32(m, 100));
  EXPECT_EQ("NAS One", Text(m, 104, 7));
  EXPECT_EQ("10.0.0.2", out[0].interface);

  const std::vector<uint8_t>& s = out[1].bytes;  // type 2
  ASSERT_EQ(60u + 3, s.size());
  EXPECT_EQ(2, s[0]);
  EXPECT_EQ(3u, Le32(s, 56));
  EXPECT_EQ("NAS", Text(s, 60, 3));

  config.devices[0].replyType = 7;
  config.devices[0].deviceSubclass = 5;
  delete sim;
  sim = nullptr;
  const std::vector<uint8_t> c = Send(Discover())[0].bytes;
  ASSERT_EQ(72u + 7, c.size());
  EXPECT_EQ(7, c[0]);
  EXPECT_EQ(5, c[57]);
  EXPECT_EQ(7u, Le32(c, 68));
  EXPECT_EQ("NAS One", Text(c, 72, 7));
}

TEST_F(SimulatorTest, QueriesAnswerOnlyTheNamedDevice) {
  std::vector<uint8_t> r = One(Request(3, mac1, ip1, kCodeShareList, ""));
  EXPECT_EQ(4, r[0]);
  EXPECT_EQ(0, std::memcmp(r.data() + 17, ip1, 4));
  EXPECT_EQ("HDD_1:USB", Text(r, 28, 100));
  EXPECT_EQ(9u, Le32(r, 24));
  EXPECT_EQ(28u + 9 + 1, r.size()) << "text and terminator";

  EXPECT_EQ("LAN1:192.168.0.33:255.255.255.0::0:LAN2:10.0.0.2:255.0.0.0::0",
            Text(One(Request(3, mac2, ip2, kCodeLanConfig, "")), 28, 200));
  EXPECT_EQ("", Text(One(Request(3, mac1, ip1, 99, "")), 28, 10)) << "unknown code: empty text";
  EXPECT_TRUE(Send(Request(3, mac1, ip2, kCodeShareList, "")).empty()) << "MAC of one, address of the other";
  std::vector<uint8_t> shortQuery = Request(3, mac1, ip1, kCodeShareList, "");
  shortQuery.pop_back();
  EXPECT_TRUE(Send(shortQuery).empty()) << "a query shorter than 28 bytes";
}

TEST_F(SimulatorTest, LoginComparesUserAndPassword) {
  struct Case {
    std::string data;
    uint8_t answer;
  } cases[] = {
      {"admin\x55\xAA pw "s, 1},
      {"admin\x55\xAA"s, 0},
      {"admin\x55\xAA pw"s, 0},
      {"root\x55\xAA pw "s, 0},
      {"admin pw ", 0},  // no separator
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> r = One(Request(3, mac1, ip1, kCodeAdminLogin, c.data));
    ASSERT_EQ(29u, r.size());
    EXPECT_EQ(c.answer, r[28]) << "data: " << c.data;
  }
}

TEST_F(SimulatorTest, StaticAddressMovesTheDevice) {
  std::vector<uint8_t> r = One(Request(5, mac1, ip1, kCodeStaticAddress, "192.168.0.40", "255.255.0.0", "192.168.0.254"));
  ASSERT_EQ(60u, r.size());
  EXPECT_EQ(6, r[0]);
  const uint8_t moved[4] = {192, 168, 0, 40};
  EXPECT_EQ(0, std::memcmp(r.data() + 17, moved, 4)) << "reply names the new address";
  EXPECT_TRUE(Send(Request(3, mac1, ip1, kCodeShareList, "")).empty()) << "old address no longer answers";
  std::vector<uint8_t> d = Send(Discover())[0].bytes;
  EXPECT_EQ(0, std::memcmp(d.data() + 17, moved, 4));
  EXPECT_EQ("255.255.0.0", Text(d, 24, 16));
  EXPECT_EQ("192.168.0.254", Text(d, 40, 16));
  EXPECT_FALSE(notes.empty());
}

TEST_F(SimulatorTest, DhcpNamesTheNewAddressAndTakesTheRecord) {
  std::vector<uint8_t> r = One(Request(5, mac1, ip1, kCodeDhcpClient, ""));
  const uint8_t dhcp[4] = {192, 168, 0, 77};
  EXPECT_EQ(0, std::memcmp(r.data() + 17, dhcp, 4));
  EXPECT_EQ('1', Send(Discover())[0].bytes[21]);

  // Two-port device: the record comes back with LAN1 as DHCP client.
  uint8_t record[120] = {};
  std::memcpy(record, "LAN1", 4);
  std::memcpy(record + 10, "192.168.0.33", 12);
  std::memcpy(record + 26, "255.255.255.0", 13);
  std::memcpy(record + 58, "1", 1);
  std::memcpy(record + 60, "LAN2", 4);
  std::memcpy(record + 70, "10.0.0.9", 8);
  std::memcpy(record + 86, "255.0.0.0", 9);
  std::memcpy(record + 118, "0", 1);
  One(Request(5, mac2, ip2, kCodeDhcpClient, std::string(reinterpret_cast<char*>(record), 120)));
  EXPECT_EQ("LAN1:192.168.0.33:255.255.255.0::1:LAN2:10.0.0.9:255.0.0.0::0",
            Text(One(Request(3, mac2, ip2, kCodeLanConfig, "")), 28, 200))
      << "no dhcp_address: the device keeps its address";
}

TEST_F(SimulatorTest, PerPortSettingsMoveThePortThatCarriedTheAddress) {
  uint8_t record[120] = {};
  std::memcpy(record, "LAN1", 4);
  std::memcpy(record + 10, "192.168.0.50", 12);
  std::memcpy(record + 26, "255.255.255.0", 13);
  std::memcpy(record + 42, "192.168.0.1", 11);
  std::memcpy(record + 58, "0", 1);
  std::memcpy(record + 60, "LAN2", 4);
  std::memcpy(record + 70, "10.0.0.2", 8);
  std::memcpy(record + 86, "255.0.0.0", 9);
  std::memcpy(record + 118, "0", 1);
  One(Request(5, mac2, ip2, kCodeSetLanConfig, std::string(reinterpret_cast<char*>(record), 120)));
  std::vector<uint8_t> d = Send(Discover())[1].bytes;
  const uint8_t moved[4] = {192, 168, 0, 50};
  EXPECT_EQ(0, std::memcmp(d.data() + 17, moved, 4));
  EXPECT_EQ("192.168.0.1", Text(d, 40, 16));
  EXPECT_TRUE(Send(Request(5, mac2, moved, kCodeSetLanConfig, "short")).size() == 1u) << "acknowledged";
  EXPECT_EQ("LAN1:192.168.0.50:255.255.255.0:192.168.0.1:0:LAN2:10.0.0.2:255.0.0.0::0",
            Text(One(Request(3, mac2, moved, kCodeLanConfig, "")), 28, 200))
      << "a record shorter than 120 bytes changes nothing";
}

TEST_F(SimulatorTest, CodePageRestartsTheDevice) {
  One(Request(5, mac1, ip1, kCodeSetCodePage, "936"), 1000);
  EXPECT_TRUE(Send(Request(3, mac1, ip1, kCodeCodePage, ""), 1999).empty()) << "silent while restarting";
  EXPECT_EQ(1u, Send(Discover(), 1999).size()) << "the other device still answers";
  EXPECT_EQ("936", Text(One(Request(3, mac1, ip1, kCodeCodePage, ""), 2000), 28, 10));
}

TEST_F(SimulatorTest, MisbehaviourFollowsItsScope) {
  DeviceConfig& d = config.devices[0];
  d.faults.silent = true;
  std::string error;
  ASSERT_TRUE(ApplyDeviceKey(&d, "silent_on", "20, login", &error)) << error;
  Start();
  EXPECT_EQ(2u, Send(Discover()).size());
  EXPECT_TRUE(Send(Request(3, mac1, ip1, kCodeLanConfig, "")).empty());
  EXPECT_TRUE(Send(Request(3, mac1, ip1, kCodeAdminLogin, "")).empty());
  EXPECT_EQ(1u, Send(Request(3, mac1, ip1, kCodeShareList, "")).size());
}

TEST_F(SimulatorTest, FaultsChangeTheReply) {
  std::string error;
  DeviceConfig& d = config.devices[0];
  for (const char* kv : {"foreign_id=yes", "foreign_id_on=query", "header_address=192.168.0.99",
                         "header_address_on=3", "delay_ms=250", "delay_on=discover", "flood=3",
                         "flood_on=discover"}) {
    std::string s = kv;
    size_t eq = s.find('=');
    ASSERT_TRUE(ApplyDeviceKey(&d, s.substr(0, eq), s.substr(eq + 1), &error)) << error;
  }
  std::vector<Outgoing> out = Send(Discover(), 1000);
  ASSERT_EQ(5u, out.size()) << "three floods, the reply, then the other device";
  for (int i = 0; i < 3; ++i) {
    EXPECT_NE(kId[0], out[i].bytes[1]) << "flood " << i << " carries another id";
    EXPECT_EQ(1250, out[i].dueMs);
  }
  EXPECT_EQ(0, std::memcmp(out[3].bytes.data() + 1, kId, 6)) << "discovery keeps the id";
  EXPECT_EQ(1250, out[3].dueMs);
  EXPECT_EQ(1000, out[4].dueMs);

  std::vector<uint8_t> q = One(Request(3, mac1, ip1, kCodeShareList, ""));
  EXPECT_NE(0, std::memcmp(q.data() + 1, kId, 6)) << "foreign id on queries";
  const uint8_t other[4] = {192, 168, 0, 99};
  EXPECT_EQ(0, std::memcmp(q.data() + 17, other, 4)) << "another address in the header";
  EXPECT_EQ(0, std::memcmp(One(Request(3, mac1, ip1, kCodeCodePage, "")).data() + 17, ip1, 4)) << "code 9 out of scope";
}

TEST_F(SimulatorTest, MalformedReplies) {
  std::string error;
  DeviceConfig& d = config.devices[0];
  ASSERT_TRUE(ApplyDeviceKey(&d, "malformed", "truncate", &error));
  ASSERT_TRUE(ApplyDeviceKey(&d, "truncate_to", "20", &error));
  ASSERT_TRUE(ApplyDeviceKey(&d, "malformed_on", "discover", &error));
  EXPECT_EQ(20u, Send(Discover())[0].bytes.size());

  delete sim;
  sim = nullptr;
  ASSERT_TRUE(ApplyDeviceKey(&d, "malformed", "badlength", &error));
  ASSERT_TRUE(ApplyDeviceKey(&d, "malformed_on", "query", &error));
  std::vector<uint8_t> q = One(Request(3, mac1, ip1, kCodeShareList, ""));
  EXPECT_EQ(4000u, Le32(q, 24));
  EXPECT_EQ(28u + 9, q.size()) << "no terminator";

  delete sim;
  sim = nullptr;
  ASSERT_TRUE(ApplyDeviceKey(&d, "malformed", "oversize", &error));
  q = One(Request(3, mac1, ip1, kCodeShareList, ""));
  ASSERT_EQ(4096u, q.size());
  EXPECT_EQ(std::string::npos, std::string(q.begin() + 28, q.end()).find('\0'));
}

TEST_F(SimulatorTest, LongTextsFillWholeDatagramsWithEveryByteValue) {
  config = Parse(std::string(kTwoDevices) + "long_texts = yes\n");
  const std::string t = LongText();
  ASSERT_EQ(4096u, t.size());
  EXPECT_EQ(0x01, uint8_t(t[0]));
  EXPECT_EQ(0xff, uint8_t(t[254]));
  EXPECT_EQ(0x00, uint8_t(t[255]));
  EXPECT_EQ(0x01, uint8_t(t[256]));

  // Discovery (type 2): a full 4096-byte datagram; netmask and gateway fill
  // their 16 bytes without terminator.
  const std::vector<uint8_t> d = Send(Discover())[1].bytes;
  ASSERT_EQ(4096u, d.size());
  EXPECT_EQ(4096u - 60, Le32(d, 56));
  EXPECT_EQ(0, std::memcmp(d.data() + 60, t.data(), 4096 - 60));
  EXPECT_EQ(0, std::memcmp(d.data() + 24, t.data(), 16));
  EXPECT_EQ(0, std::memcmp(d.data() + 40, t.data(), 16));

  // Every query text: as much as a datagram holds, then the terminator.
  for (uint8_t code : {kCodeShareList, kCodeWorkgroup, kCodeCodePage, kCodeDiskStatus,
                       kCodeShareName, kCodeBtFirmware, kCodeDomain, kCodeSslMode, kCodeLanConfig}) {
    const std::vector<uint8_t> r = One(Request(3, mac2, ip2, code, ""));
    ASSERT_EQ(4096u, r.size()) << "code " << int(code);
    EXPECT_EQ(4096u - 29, Le32(r, 24)) << "code " << int(code);
    EXPECT_EQ(0, std::memcmp(r.data() + 28, t.data(), 4096 - 29)) << "code " << int(code);
    EXPECT_EQ(0, r.back()) << "code " << int(code);
  }
}
