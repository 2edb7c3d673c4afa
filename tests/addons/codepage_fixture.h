// Test support of the add-on installers: a file layer kept in memory, a
// device that answers the add-on queries, and a fixture that runs them.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "addon_files_fake.h"
#include "addon_state.h"
#include "app_fixture.h"

// What a device answers to the add-on queries; an empty text is no answer.
struct AddonDevice {
  std::string diskStatus = "3";
  std::string codePage = "850";
  std::string shareName = "HDD_a";
};

class AddonTest : public AppTest {
protected:
  void SetUp() override;
  void TearDown() override;

  // Texts of the set requests with this command code, in order.
  std::vector<std::string> SetTexts(uint8_t code) const;
  // Number of query requests with this command code.
  size_t Queries(uint8_t code) const;
  // Command lines started, each with its show flag: "... (hidden)".
  std::vector<std::string> Started() const;

  // The run starts 300 ms after its window shows instead of 2 s.
  class QuickClock : public FakeClock {
  public:
    unsigned TimerPeriod(unsigned) override { return period; }
    unsigned period = 300;  // well after the seam gives the window its action
  } quick;
  FakeAddonFiles files;
  AddonDevice addon;
  SimDevice device;
};

// The catalogue bytes of the row written under name, empty when none.
Bytes CatalogueBytesOf(const std::string& name);
