#include "devsim_config.h"

#include <cctype>
#include <cstdlib>
#include <sstream>

#include "address_text.h"
#include "packet.h"

namespace devsim {

namespace {

std::string Trim(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
  while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
  return s.substr(b, e - b);
}

std::string Unquote(const std::string& s) {
  if (s.size() >= 2 && s.front() == '"' && s.back() == '"') return s.substr(1, s.size() - 2);
  return s;
}

bool ParseInt(const std::string& text, long lo, long hi, int* out) {
  if (text.empty()) return false;
  char* end = nullptr;
  long v = std::strtol(text.c_str(), &end, 10);
  if (*end != 0 || v < lo || v > hi) return false;
  *out = static_cast<int>(v);
  return true;
}

bool ParseBool(const std::string& text, bool* out) {
  if (text == "1" || text == "yes" || text == "true" || text == "on") {
    *out = true;
    return true;
  }
  if (text == "0" || text == "no" || text == "false" || text == "off") {
    *out = false;
    return true;
  }
  return false;
}

bool ParseScope(const std::string& text, Scope* out) {
  Scope s;
  s.discover = s.allQueries = s.allSets = false;
  std::string t = text;
  for (char& c : t)
    if (c == ',') c = ' ';
  std::istringstream words(t);
  std::string w;
  bool any = false;
  while (words >> w) {
    any = true;
    if (w == "all") {
      s.discover = s.allQueries = s.allSets = true;
    } else if (w == "none") {
    } else if (w == "discover")
      s.discover = true;
    else if (w == "query")
      s.allQueries = true;
    else if (w == "set")
      s.allSets = true;
    else if (w == "login")
      s.codes.push_back(kCodeAdminLogin);
    else {
      int code;
      if (!ParseInt(w, 1, 255, &code)) return false;
      s.codes.push_back(code);
    }
  }
  if (!any) return false;
  *out = s;
  return true;
}

bool Fail(std::string* error, const std::string& text) {
  if (error) *error = text;
  return false;
}

}  // namespace

bool Scope::MatchesQuery(int code) const {
  if (allQueries) return true;
  for (int c : codes)
    if (c == code) return true;
  return false;
}

bool Scope::MatchesSet(int code) const {
  if (allSets) return true;
  for (int c : codes)
    if (c == code) return true;
  return false;
}

std::string LongText() {
  std::string t(kLongTextBytes, '\0');
  for (size_t i = 0; i < t.size(); ++i) t[i] = static_cast<char>((i + 1) & 0xff);
  return t;
}

bool ParseMac(const std::string& text, uint8_t out[6]) {
  if (text.size() != 17) return false;
  for (int i = 0; i < 6; ++i) {
    const char* p = text.c_str() + static_cast<size_t>(i) * 3;
    if (!std::isxdigit(static_cast<unsigned char>(p[0])) ||
        !std::isxdigit(static_cast<unsigned char>(p[1])))
      return false;
    if (i < 5 && p[2] != ':' && p[2] != '-') return false;
    out[i] = static_cast<uint8_t>(std::strtoul(std::string(p, 2).c_str(), nullptr, 16));
  }
  return true;
}

bool ApplyDeviceKey(DeviceConfig* d, const std::string& rawKey, const std::string& value,
                    std::string* error) {
  std::string key = rawKey;
  for (char& c : key) c = c == '-' ? '_' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  Faults& f = d->faults;
  auto bad = [&](const char* what) { return Fail(error, "bad value for " + key + " (" + what + "): '" + value + "'"); };
  uint8_t ip[4];

  if (key == "name")
    d->name = value;
  else if (key == "long_texts") {
    bool on = false;
    if (!ParseBool(value, &on)) return bad("yes or no");
    if (on) {
      const std::string t = LongText();
      d->name = d->netmask = d->gateway = d->model = t;
      d->lanConfig = d->shares = d->workgroup = d->codePage = d->disk = t;
      d->shareName = d->btFirmware = d->domain = d->ssl = t;
    }
  } else if (key == "mac") {
    if (!ParseMac(value, d->mac)) return bad("six hex pairs joined by ':'");
    d->haveMac = true;
  } else if (key == "address") {
    if (!ParseAddressText(value.c_str(), ip)) return bad("dotted-decimal address");
    d->address = value;
  } else if (key == "netmask")
    d->netmask = value;
  else if (key == "gateway")
    d->gateway = value;
  else if (key == "dhcp") {
    if (!ParseBool(value, &d->dhcp)) return bad("yes or no");
  } else if (key == "reply_type") {
    if (!ParseInt(value, 2, 8, &d->replyType) || (d->replyType != 2 && d->replyType != 7 && d->replyType != 8))
      return bad("2, 7 or 8");
  } else if (key == "class") {
    if (!ParseInt(value, 0, 255, &d->deviceClass)) return bad("0..255");
  } else if (key == "subclass") {
    if (!ParseInt(value, 0, 255, &d->deviceSubclass)) return bad("0..255");
  } else if (key == "model")
    d->model = value;
  else if (key == "user")
    d->user = value;
  else if (key == "password")
    d->password = value;
  else if (key == "lanconfig")
    d->lanConfig = value == "none" ? std::string() : value;
  else if (key == "shares")
    d->shares = value;
  else if (key == "codepage")
    d->codePage = value;
  else if (key == "disk")
    d->disk = value;
  else if (key == "sharename")
    d->shareName = value;
  else if (key == "btfirmware")
    d->btFirmware = value;
  else if (key == "domain")
    d->domain = value;
  else if (key == "ssl")
    d->ssl = value;
  else if (key == "web") {
    if (!ParseBool(value, &d->web)) return bad("yes or no");
  } else if (key == "workgroup")
    d->workgroup = value;
  else if (key == "dhcp_address") {
    if (!value.empty() && !ParseAddressText(value.c_str(), ip)) return bad("dotted-decimal address");
    d->dhcpAddress = value;
  } else if (key == "restart_ms") {
    if (!ParseInt(value, 0, 3600000, &d->restartMs)) return bad("milliseconds");
  } else if (key == "interface") {
    if (!value.empty() && !ParseAddressText(value.c_str(), ip)) return bad("dotted-decimal address");
    d->interface = value;
  }
  // Misbehaviour on request, each with a scope key "<fault>_on".
  else if (key == "silent") {
    if (!ParseBool(value, &f.silent)) return bad("yes or no");
  } else if (key == "delay_ms") {
    if (!ParseInt(value, 0, 600000, &f.delayMs)) return bad("milliseconds");
  } else if (key == "foreign_id") {
    if (!ParseBool(value, &f.foreignId)) return bad("yes or no");
  } else if (key == "header_address") {
    if (!value.empty() && !ParseAddressText(value.c_str(), ip)) return bad("dotted-decimal address");
    f.headerAddress = value;
  } else if (key == "flood") {
    if (!ParseInt(value, 0, 10000, &f.flood)) return bad("a count");
  } else if (key == "flood_type") {
    if (value == "same")
      f.floodType = FloodType::SameType;
    else if (value == "other")
      f.floodType = FloodType::OtherType;
    else
      return bad("same or other");
  } else if (key == "malformed") {
    if (value == "none")
      f.malformed = Malformed::None;
    else if (value == "truncate")
      f.malformed = Malformed::Truncate;
    else if (value == "badlength")
      f.malformed = Malformed::BadLength;
    else if (value == "oversize")
      f.malformed = Malformed::Oversize;
    else
      return bad("none, truncate, badlength or oversize");
  } else if (key == "truncate_to") {
    if (!ParseInt(value, 0, 4096, &f.truncateTo)) return bad("a byte count");
  } else if (key == "silent_on") {
    if (!ParseScope(value, &f.silentOn)) return bad("scope");
  } else if (key == "delay_on") {
    if (!ParseScope(value, &f.delayOn)) return bad("scope");
  } else if (key == "foreign_id_on") {
    if (!ParseScope(value, &f.foreignIdOn)) return bad("scope");
  } else if (key == "header_address_on") {
    if (!ParseScope(value, &f.headerAddressOn)) return bad("scope");
  } else if (key == "flood_on") {
    if (!ParseScope(value, &f.floodOn)) return bad("scope");
  } else if (key == "malformed_on") {
    if (!ParseScope(value, &f.malformedOn)) return bad("scope");
  } else
    return Fail(error, "unknown device key '" + rawKey + "'");
  return true;
}

namespace {

bool ApplyGlobalKey(SimConfig* c, const std::string& key, const std::string& value,
                    std::string* error) {
  if (key == "bind") {
    std::string t = value;
    for (char& ch : t)
      if (ch == ',') ch = ' ';
    std::istringstream words(t);
    std::string w;
    uint8_t ip[4];
    while (words >> w) {
      if (!ParseAddressText(w.c_str(), ip)) return Fail(error, "bad bind address '" + w + "'");
      c->bind.push_back(w);
    }
    return true;
  }
  if (key == "log") {
    c->log = value;
    return true;
  }
  return Fail(error, "unknown global key '" + key + "'");
}

bool SplitKeyValue(const std::string& line, std::string* key, std::string* value) {
  size_t eq = line.find('=');
  if (eq == std::string::npos) return false;
  *key = Trim(line.substr(0, eq));
  *value = Unquote(Trim(line.substr(eq + 1)));
  return !key->empty();
}

}  // namespace

bool ParseConfig(std::istream& in, SimConfig* config, std::string* error) {
  SimConfig c;
  std::string line;
  int lineNo = 0;
  bool inDevice = false;
  while (std::getline(in, line)) {
    ++lineNo;
    std::string t = Trim(line);
    if (t.empty() || t[0] == '#' || t[0] == ';') continue;
    std::string where = "line " + std::to_string(lineNo) + ": ";
    if (t[0] == '[') {
      if (t.back() != ']') return Fail(error, where + "section header without ']'");
      std::string inner = Trim(t.substr(1, t.size() - 2));
      if (inner == "global") {
        inDevice = false;
        continue;
      }
      if (inner.compare(0, 6, "device") == 0 && (inner.size() == 6 || std::isspace(static_cast<unsigned char>(inner[6])))) {
        DeviceConfig d;
        d.label = Trim(inner.substr(6));
        if (d.label.empty()) d.label = "device" + std::to_string(c.devices.size() + 1);
        for (const DeviceConfig& other : c.devices)
          if (other.label == d.label) return Fail(error, where + "second device labelled '" + d.label + "'");
        c.devices.push_back(d);
        inDevice = true;
        continue;
      }
      return Fail(error, where + "unknown section '" + inner + "'");
    }
    std::string key, value, e;
    if (!SplitKeyValue(t, &key, &value)) return Fail(error, where + "expected key = value");
    bool ok = inDevice ? ApplyDeviceKey(&c.devices.back(), key, value, &e)
                       : ApplyGlobalKey(&c, key, value, &e);
    if (!ok) return Fail(error, where + e);
  }
  *config = c;
  return true;
}

bool ApplyOverride(SimConfig* config, const std::string& text, std::string* error) {
  std::string key, value;
  if (!SplitKeyValue(text, &key, &value)) return Fail(error, "expected [label.]key=value: '" + text + "'");
  size_t dot = key.find('.');
  std::string label;
  if (dot != std::string::npos) {
    label = key.substr(0, dot);
    key = key.substr(dot + 1);
  }
  if (label == "global") return ApplyGlobalKey(config, key, value, error);
  bool matched = false;
  for (DeviceConfig& d : config->devices) {
    if (!label.empty() && d.label != label) continue;
    matched = true;
    if (!ApplyDeviceKey(&d, key, value, error)) return false;
  }
  if (!matched) return Fail(error, label.empty() ? "no device to apply '" + text + "' to"
                                                 : "no device labelled '" + label + "'");
  return true;
}

bool ValidateConfig(const SimConfig& config, std::string* error) {
  for (const DeviceConfig& d : config.devices) {
    if (!d.haveMac) return Fail(error, "device '" + d.label + "' has no mac");
    if (d.address.empty()) return Fail(error, "device '" + d.label + "' has no address");
  }
  return true;
}

}  // namespace devsim
