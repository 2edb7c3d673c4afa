// The device's disk status, as the add-on flows read it from the disk-status
// query, and what both flows do for an unformatted disk.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

enum DiskStatus {
  kNoDisk = 1,
  kUnformatted = 2,
  kReady = 3,
  kUnicode = 4,
  kReadyExtended = 5,
};

// The status text read as a number; 0 when it does not start with one.
int DiskStatusValue(const char* text);
// True only when text is exactly the status's number ("1" to "5").
bool DiskStatusIs(const char* text, DiskStatus status);
// Writes the text of kReady into the disk-status buffer.
void MarkDiskReady();
// Tells the user to format the disk (a message box of owner) and opens the
// device's own pages, which offer the formatting, over http through
// explorer.
void ReportUnformattedDisk(HWND owner);
