// A drive platform that plays fixed letters, CD-ROMs and network
// connections, installed for the lifetime of a test fixture.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>

#include "drive_table.h"

class FakeDrivePlatform final : public DrivePlatform {
public:
    std::map<std::string, std::string> remote;  // "Z:" -> "\\host\share"
    std::map<std::string, unsigned> type;       // "C:" -> kDriveFixed; others kDriveNoRootDir
    std::map<std::string, int> typeCalls;

    void Map(const std::string& drive, const std::string& remoteName) {
        remote[drive] = remoteName;
        type[drive] = kDriveRemote;
    }
    void Unmap(const std::string& drive) {
        remote.erase(drive);
        type.erase(drive);
    }

    bool RemoteName(const char* drive, char* out, size_t cap) override {
        auto it = remote.find(drive);
        if (it == remote.end() || cap == 0) return false;
        const size_t n = std::min(it->second.size(), cap - 1);
        std::memcpy(out, it->second.data(), n);
        out[n] = '\0';
        return true;
    }
    unsigned DriveType(const char* drive) override {
        ++typeCalls[drive];
        auto it = type.find(drive);
        return it == type.end() ? kDriveNoRootDir : it->second;
    }
};

// Starts each test with a zeroed table and the fake installed.
class DriveTableTest : public ::testing::Test {
protected:
    FakeDrivePlatform fake;
    void SetUp() override {
        std::memset(&MappedDriveTable, 0, sizeof MappedDriveTable);
        SetDrivePlatform(&fake);
    }
    void TearDown() override {
        SetDrivePlatform(nullptr);
        std::memset(&MappedDriveTable, 0, sizeof MappedDriveTable);
    }
    static const MappedDriveEntry& Row(char letter) { return MappedDriveTable.row['Z' - letter]; }
};
