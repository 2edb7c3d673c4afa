// Naming of the running Windows version from what GetVersionExA reports.
// Portable: the Windows-side wrapper (GetWindowsVersionName) feeds it the
// fields of OSVERSIONINFOA.
#pragma once
#include <cstddef>

// Platform ids as GetVersionExA reports them.
constexpr unsigned kPlatformWin9x = 1;
constexpr unsigned kPlatformWinNt = 2;
constexpr unsigned kPlatformWinCe = 3;

// Writes the version name into name (cut to cap, always terminated when
// cap > 0) and its code into *code; either may be null. Only the low 16 bits
// of build are compared. A combination the table does not know gives
// "unknown Windows version" and code 0, and the result false; true when a
// table row named the version (note "Vista" also has code 0).
bool ClassifyWindowsVersion(unsigned platformId, unsigned major, unsigned minor, unsigned build,
                            char* name, size_t cap, int* code);

// Tests on a version name, as the login dialog and drive mapping use them.
bool VersionNameIsMeOr98(const char* name);  // contains "ME" or "98": the share login shows the Windows user
bool VersionNameIsOldNt(const char* name);  // contains "NT": NT 3.51 and NT 4
bool VersionNameIsVista(const char* name);  // contains "Vista": 6.x and later
