#include "payload_rows.h"

#include <cctype>
#include <initializer_list>

const char kCodePageKind[] = "CODEPAGE";
const char kBtKind[] = "BT";

namespace {

constexpr const char kKernel24[] = "kernel_version=2.4.21-pre4";
constexpr const char kVermagic26[] = "vermagic=2.6.6-arm2 ARMv5 gcc-3.3";
constexpr const char kVermagic2612[] = "vermagic=2.6.12.6-arm1 ARMv5 gcc-3.3";

constexpr PayloadRow Table(uint16_t n, uint32_t size, const char* name, uint16_t cp, uint32_t entries) {
  return {kCodePageKind, n, size, name, PayloadContent::CodePageTable, cp, entries, nullptr, 0};
}
constexpr PayloadRow Map(uint16_t n, uint32_t size, const char* name, const char* cpName) {
  return {kCodePageKind, n, size, name, PayloadContent::UnicodeMap, 0, 0, cpName, 0};
}
constexpr PayloadRow Ppc(uint16_t n, uint32_t size, const char* name) {
  return {kCodePageKind, n, size, name, PayloadContent::PpcModule, 0, 0, kKernel24, 0};
}
constexpr PayloadRow Arm(uint16_t n, uint32_t size, const char* name) {
  return {kCodePageKind, n, size, name, PayloadContent::ArmModule, 0, 0, kVermagic26, 0};
}
constexpr PayloadRow Arm12(uint16_t n, uint32_t size, const char* name) {
  return {kCodePageKind, n, size, name, PayloadContent::ArmModule, 0, 0, kVermagic2612, 0};
}

bool SameTextIgnoringCase(const char* a, const char* b) {
  for (; *a != '\0' && *b != '\0'; ++a, ++b)
    if (std::toupper(static_cast<unsigned char>(*a)) != std::toupper(static_cast<unsigned char>(*b))) return false;
  return *a == *b;
}

}  // namespace

const PayloadRow kPayloadRows[] = {
    {kBtKind, 215, 6940408, "bt", PayloadContent::BtClient, 0, 0, "/lib/ld-uClibc.so.0", 0},
    {kBtKind, 220, 22672, "btdog", PayloadContent::BtSupervisor, 0, 0, "Usage: btdog exe [args]", 0},
    Table(143, 132, "codepage.850", 850, 124),
    Ppc(145, 5020, "nls_cp850.o"),
    Map(148, 131614, "unicode_map.850", "850"),
    Table(151, 8, "codepage.950", 950, 0),
    Ppc(153, 106268, "nls_cp950.o"),
    Ppc(155, 1724, "nls_big5.o"),
    Map(156, 262174, "unicode_map.950", "950"),
    Table(157, 8, "codepage.936", 936, 0),
    Ppc(158, 129244, "nls_cp936.o"),
    Ppc(159, 1728, "nls_gb2312.o"),
    Map(160, 262174, "unicode_map.936", "936"),
    Table(161, 8, "codepage.932", 932, 0),
    Ppc(162, 82848, "nls_cp932.o"),
    Ppc(163, 6364, "nls_euc-jp.o"),
    Map(164, 262174, "unicode_map.932", "932"),
    Table(165, 8, "codepage.949", 949, 0),
    Ppc(166, 152216, "nls_cp949.o"),
    Ppc(167, 1728, "nls_euc-kr.o"),
    Map(168, 262174, "unicode_map.949", "949"),
    Table(169, 588, "codepage.866", 866, 580),
    Ppc(170, 5308, "nls_cp866.o"),
    {kCodePageKind, 171, 588, "unicode_map.866", PayloadContent::CopyOfRow, 0, 0, nullptr, 169},
    Ppc(172, 1724, "nls_sjis.o"),
    Arm(173, 82562, "nls_cp932.ko"),
    Arm(174, 105791, "nls_cp950.ko"),
    Arm(175, 128599, "nls_cp936.ko"),
    Arm(176, 151405, "nls_cp949.ko"),
    Arm(177, 6006, "nls_cp866.ko"),
    Arm(178, 6809, "nls_euc-jp.ko"),
    Arm(179, 5719, "nls_cp850.ko"),
    Arm(183, 6010, "nls_koi8-r.ko"),
    Map(184, 131614, "unicode_map.KOI8-R", "KOI8-R"),
    Ppc(185, 5312, "nls_koi8-r.o"),
    Arm12(187, 5783, "nls_cp850_12.ko"),
    Arm12(188, 6070, "nls_cp866_12.ko"),
    Arm12(189, 82995, "nls_cp932_12.ko"),
    Arm12(190, 128695, "nls_cp936_12.ko"),
    Arm12(191, 151501, "nls_cp949_12.ko"),
    Arm12(192, 105887, "nls_cp950_12.ko"),
    Arm12(193, 6921, "nls_euc-jp_12.ko"),
    Arm12(194, 6074, "nls_koi8-r_12.ko"),
};
const size_t kPayloadRowCount = sizeof kPayloadRows / sizeof kPayloadRows[0];

const char* CanonicalPayloadKind(const char* kind) {
  if (kind == nullptr) return nullptr;
  for (const char* k : {kCodePageKind, kBtKind})
    if (SameTextIgnoringCase(kind, k)) return k;
  return nullptr;
}

const PayloadRow* FindPayloadRow(const char* kind, int number) {
  const char* canonical = CanonicalPayloadKind(kind);
  if (canonical == nullptr) return nullptr;
  for (const PayloadRow& row : kPayloadRows)
    if (row.kind == canonical && row.number == number) return &row;
  return nullptr;
}
