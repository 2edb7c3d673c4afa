#include "lan_rules.h"

namespace {

const char* const kFieldMessages[3][4] = {
    {"Invalid IP address in 1st digit. It should be 1-223.",
     "Invalid IP address in 2nd digit. It should be 0-255.",
     "Invalid IP address in 3rd digit. It should be 0-255.",
     "Invalid IP address in 4th digit. It should be 0-255."},
    {"Invalid subnet mask address in 1st digit. It should be 0-255.",
     "Invalid subnet mask address in 2nd digit. It should be 0-255.",
     "Invalid subnet mask address in 3rd digit. It should be 0-255.",
     "Invalid subnet mask address in 4th digit. It should be 0-255."},
    {"Invalid gateway IP address in 1st digit. It should be 1-223.",
     "Invalid gateway IP address in 2nd digit. It should be 0-255.",
     "Invalid gateway IP address in 3rd digit. It should be 0-255.",
     "Invalid gateway IP address in 4th digit. It should be 0-255."},
};

constexpr int kAddress = 0;
constexpr int kNetmask = 1;

LanCheckResult Passed() { return {true, nullptr, nullptr, MessageIcon::Information, -1, -1}; }

LanCheckResult Failed(const char* message, const char* caption, MessageIcon icon, int control,
                      int field = -1) {
    return {false, message, caption, icon, control, field};
}

// Copies four fields, reading a missing array as zeros.
struct Quad {
    int v[4];
};
Quad Read(const int f[4]) {
    Quad q{{0, 0, 0, 0}};
    if (f != nullptr) {
        for (int i = 0; i < 4; ++i) q.v[i] = f[i];
    }
    return q;
}

bool InByteRange(int v) { return v >= 0 && v <= 255; }

bool IsLinkLocal(const Quad& a) { return a.v[0] == 169 && a.v[1] == 254; }

}  // namespace

LanCheckResult CheckAddressFieldsRule(int kind, const int f[4], bool blank) {
    if (kind < 1 || kind > 3) return Passed();
    if (kind == 3 && blank) return Passed();
    const Quad q = Read(f);
    const bool firstIsHostPart = kind != 2;
    for (int i = 0; i < 4; ++i) {
        bool good = InByteRange(q.v[i]);
        if (i == 0 && firstIsHostPart) good = q.v[0] >= 1 && q.v[0] <= 223;
        if (!good) {
            return Failed(kFieldMessages[kind - 1][i], "Error", MessageIcon::Information, kind - 1, i);
        }
    }
    return Passed();
}

bool IsContiguousNetmask(int m1, int m2, int m3, int m4) {
    const int m[4] = {m1, m2, m3, m4};
    for (int v : m) {
        if (!InByteRange(v)) return false;
    }
    if (m1 == 0) return false;
    bool seenZero = false;
    for (int v : m) {
        for (int bit = 7; bit >= 0; --bit) {
            const bool one = ((v >> bit) & 1) != 0;
            if (one && seenZero) return false;
            if (!one) seenZero = true;
        }
    }
    return true;
}

bool IsBadTcpIpConfig(const int a[4], const int m[4], const int g[4]) {
    const Quad qa = Read(a), qm = Read(m), qg = Read(g);
    if (IsLinkLocal(qa)) return false;
    bool isNetwork = true, isBroadcast = true, otherSubnet = false;
    for (int i = 0; i < 4; ++i) {
        const int ai = qa.v[i], mi = qm.v[i], gi = qg.v[i];
        if (gi != (ai & mi)) isNetwork = false;
        if (gi != ((255 - mi) | ai)) isBroadcast = false;
        if ((ai & mi) != (gi & mi)) otherSubnet = true;
    }
    return isNetwork || isBroadcast || otherSubnet;
}

LanCheckResult ValidateStaticSettings(bool addressBlank, const int a[4], bool netmaskBlank,
                                      const int m[4], bool gatewayBlank, const int g[4]) {
    if (addressBlank) {
        return Failed("Please input IP address!", "Warning", MessageIcon::Exclamation, kAddress);
    }
    if (netmaskBlank) {
        return Failed("Please input net mask address!", "Warning", MessageIcon::Exclamation, kNetmask);
    }
    const Quad qa = Read(a), qm = Read(m);
    const Quad qg = gatewayBlank ? Read(nullptr) : Read(g);
    if (qa.v[0] == 127) {
        return Failed("IP address input error. Please try again.", "Warning", MessageIcon::Exclamation,
                      kAddress);
    }
    LanCheckResult r = CheckAddressFieldsRule(1, qa.v);
    if (!r.ok) return r;
    r = CheckAddressFieldsRule(2, qm.v);
    if (!r.ok) return r;
    if (!IsLinkLocal(qa)) {
        r = CheckAddressFieldsRule(3, qg.v, gatewayBlank);
        if (!r.ok) return r;
    }
    if (!IsContiguousNetmask(qm.v[0], qm.v[1], qm.v[2], qm.v[3])) {
        return Failed("Netmask address input invalid. Please try again.", "Error", MessageIcon::Hand,
                      kNetmask);
    }
    if (IsBadTcpIpConfig(qa.v, qm.v, qg.v)) {
        return Failed("You enter incorrect TCP/IP configuration. Please try again.", "Error",
                      MessageIcon::Hand, -1);
    }
    return Passed();
}
