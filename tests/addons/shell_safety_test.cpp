// What reaches the shell: a device whose name and share names are made of
// shell syntax. Every command line started and document opened is built
// from the program's own texts (the dotted address, the model's file), so
// none of the device's texts may appear in them.
#include <functional>
#include <string>
#include <vector>

#include "codepage_fixture.h"
#include "language_dlg.h"
#include "resource.h"
#include "widget_launcher.h"

namespace {

const char kHostileName[] = "\" & calc & \"";
const char kHostileShares[] = "a\"b:%PATH%:x&y:\" & calc & \":100%&&";

class ShellSafetyTest : public AddonTest {
protected:
  void SetUp() override {
    device.name = kHostileName;
    device.shares = kHostileShares;
    device.model = "KX-7100";
    AddonTest::SetUp();
  }

  // Every text handed to WinExec, ShellExecuteA or written for the widget.
  std::vector<std::string> ShellTexts() const {
    std::vector<std::string> texts;
    for (const auto& exec : shell.execs) texts.push_back(exec.first);
    for (const std::string& file : shell.opened) texts.push_back(file);
    for (const auto& file : shell.files) texts.push_back(file.first + " " + file.second);
    return texts;
  }
};

TEST_F(ShellSafetyTest, NoDeviceTextReachesACommandLine) {
  const struct {
    const char* flow;
    std::function<void(CMainDlg&)> run;
  } cases[] = {
      {"widget, opened", [](CMainDlg& dlg) {
         fwtest::PushModalAction([](CDialog& d) { fwtest::ClickButton(d, IDCANCEL); });
         dlg.OnWidget();
       }},
      {"widget, engine download", [](CMainDlg& dlg) {
         fwtest::PushModalAction([](CDialog& d) { fwtest::ClickButton(d, IDOK); });
         dlg.OnWidget();
       }},
      {"code pages on an unformatted disk", [this](CMainDlg&) {
         addon.diskStatus = "2";
         CLanguageDlg language;
         language.DoModal();
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.flow);
    shell = FakeShellPlatform();
    addon.diskStatus = "3";
    RunMain([&](CMainDlg& dlg) {
      ClickDevice(dlg, 0);  // the panel shows the name and shares first
      c.run(dlg);
    });
    const std::vector<std::string> texts = ShellTexts();
    EXPECT_FALSE(texts.empty()) << "the flow started something";
    for (const std::string& text : texts) {
      EXPECT_EQ(std::string::npos, text.find_first_of("\"%&")) << "got: " << text;
      EXPECT_EQ(std::string::npos, text.find("calc")) << "got: " << text;
    }
  }
}

}  // namespace
