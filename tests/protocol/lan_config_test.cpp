// ParseLanConfig: empty-field expansion, token split, the LAN1 rule and the
// texts it refuses.
#include <cstring>

#include "fakes.h"

namespace {

struct Port {
  std::string name, address, netmask, gateway, mode;
};

Port PortOf(const LanPortConfig& p) {
  auto text = [](const char* f, size_t n) { return std::string(f, strnlen(f, n)); };
  return {text(p.name, sizeof p.name), text(p.address, sizeof p.address),
          text(p.netmask, sizeof p.netmask), text(p.gateway, sizeof p.gateway),
          text(p.mode, sizeof p.mode)};
}

std::string Show(const Port& p) {
  return "{" + p.name + "|" + p.address + "|" + p.netmask + "|" + p.gateway + "|" + p.mode + "}";
}

LanConfig Filled() {
  // A record as an earlier query left it: the second half must survive a
  // one-port reply.
  LanConfig c;
  std::memset(&c, 0, sizeof c);
  std::strcpy(c.port[1].name, "OLD");
  std::strcpy(c.port[1].address, "1.1.1.1");
  return c;
}

TEST(ParseLanConfigTest, AcceptedTexts) {
  struct Case {
    const char* text;
    Port first, second;
  } cases[] = {
      {"LAN1:192.168.0.32:255.255.255.0::1:LAN2:10.0.0.2:255.0.0.0::0",
       {"LAN1", "192.168.0.32", "255.255.255.0", "", "1"},
       {"LAN2", "10.0.0.2", "255.0.0.0", "", "0"}},
      {"eth0:192.168.0.32:255.255.255.0:192.168.0.1:0",
       {"eth0", "192.168.0.32", "255.255.255.0", "192.168.0.1", "0"},
       {"OLD", "1.1.1.1", "", "", ""}},
      // An empty field other than the gateway holds the text NULL.
      {"eth0::255.255.255.0:10.0.0.1:1", {"eth0", "NULL", "255.255.255.0", "10.0.0.1", "1"}, {"OLD", "1.1.1.1", "", "", ""}},
      // Three colons: two empty fields.
      {"eth0:::10.0.0.1:1", {"eth0", "NULL", "NULL", "10.0.0.1", "1"}, {"OLD", "1.1.1.1", "", "", ""}},
      // A leading colon is skipped by the split, as are the extra tokens.
      {":eth0:1.2.3.4:255.0.0.0:NULL:0:extra:tokens",
       {"eth0", "1.2.3.4", "255.0.0.0", "", "0"},
       {"OLD", "1.1.1.1", "", "", ""}},
      // The name must be exactly LAN1 for the second half.
      {"lan1:1.2.3.4:255.0.0.0::0:LAN2:5.6.7.8:255.0.0.0::1", {"lan1", "1.2.3.4", "255.0.0.0", "", "0"}, {"OLD", "1.1.1.1", "", "", ""}},
      // Texts that fill their fields exactly.
      {"LAN1-abcd:255.255.255.255:255.255.255.255:255.255.255.255:1:LAN2:1.1.1.1:2.2.2.2::0",
       {"LAN1-abcd", "255.255.255.255", "255.255.255.255", "255.255.255.255", "1"},
       {"OLD", "1.1.1.1", "", "", ""}},
  };
  for (const Case& c : cases) {
    LanConfig out = Filled();
    ASSERT_TRUE(ParseLanConfig(c.text, &out)) << c.text;
    EXPECT_EQ(Show(PortOf(out.port[0])), Show(c.first)) << c.text;
    EXPECT_EQ(Show(PortOf(out.port[1])), Show(c.second)) << c.text;
  }
}

TEST(ParseLanConfigTest, RefusedTextsLeaveTheRecordUntouched) {
  const std::string longText = "eth0:1.2.3.4:255.0.0.0::0:" + std::string(600, 'x');
  const char* cases[] = {
      "",
      ":::",
      "eth0:1.2.3.4:255.0.0.0:1.1.1.1",  // four tokens
      "eth0:1.2.3.4:255.0.0.0:1.1.1.1:",  // trailing colon is not expanded
      "LAN1:1.2.3.4:255.0.0.0::1:LAN2:5.6.7.8",  // LAN1 with seven tokens
      "LAN1:1.2.3.4:255.0.0.0::1:LAN2:5.6.7.8:255.0.0.0::",  // last mode missing
      "a-very-long-name:1.2.3.4:255.0.0.0::1",  // name longer than 9
      "eth0:1.2.3.4:255.0.0.0::10",  // mode longer than one character
      "eth0:1.2.3.4:255.255.255.2550::1",  // netmask of 16 characters
      "eth0:1.2.3.4:255.0.0.0:1.1.1.1::more",  // empty mode holds NULL: too long
      longText.c_str(),
  };
  for (const char* text : cases) {
    LanConfig out = Filled();
    const LanConfig before = out;
    EXPECT_FALSE(ParseLanConfig(text, &out)) << text;
    EXPECT_EQ(std::memcmp(&out, &before, sizeof out), 0) << "record changed by: " << text;
  }
}

TEST(ParseLanConfigTest, TextLengthLimitIs515Characters) {
  const std::string head = "eth0:1.2.3.4:255.0.0.0::0:";
  for (size_t length : {size_t(515), size_t(516)}) {
    const std::string text = head + std::string(length - head.size(), ':');
    LanConfig out = Filled();
    EXPECT_EQ(ParseLanConfig(text.c_str(), &out), length == 515) << length << " characters";
  }
}

}  // namespace
