// The widget launcher on the main window, with its two small dialogs: the
// address file, the engine prompt, the model table and the model choice.
#include <string>
#include <vector>

#include "addon_state.h"
#include "app_fixture.h"
#include "model_select_dlg.h"
#include "resource.h"
#include "widget_engine_dlg.h"
#include "widget_launcher.h"

namespace {

class WidgetTest : public AppTest {
protected:
  void SetUp() override {
    AppTest::SetUp();
    AddonFlowState = {};
  }
  void TearDown() override {
    AppTest::TearDown();
  }

  // One device of model at 192.168.0.32, clicked in the list.
  void AddDevice(const std::string& model, const std::string& ip = "192.168.0.32") {
    SimDevice d;
    d.ip = ip;
    d.model = model;
    d.name = "nas-" + ip.substr(ip.rfind('.') + 1);
    d.mac[5] = static_cast<uint8_t>(net.devices.size());
    net.Add(d);
  }
};

// The prompt's answers, and the model dialog's.
void PressNext(CDialog& d) { fwtest::ClickButton(d, IDCANCEL); }
void PressDownload(CDialog& d) { fwtest::ClickButton(d, IDOK); }

}  // namespace

TEST_F(WidgetTest, EachKnownModelOpensItsWidgetFileAfterWritingTheAddress) {
  const struct {
    const char* model;
    const char* file;
  } cases[] = {
      {"KX-7100", "NXORAEu_KX7100_Widget.widget"},
      {"KX-7200", "NXORAEu_KX7200_Widget.widget"},
      {"KX-7300", "NXORAEu_KX7300_Widget"},  // no extension
      {"KX-7400", "NXORAEu_KX7400_Widget.widget"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.model);
    net.devices.clear();
    shell = FakeShellPlatform();
    AddDevice(c.model);
    RunMain([&](CMainDlg& dlg) {
      ClickDevice(dlg, 0);
      fwtest::PushModalAction(PressNext);
      dlg.OnWidget();
    });
    EXPECT_EQ(std::vector<std::string>{c.file}, shell.opened);
    EXPECT_EQ("192.168.0.32", shell.files["C:\\ip.txt"]);
    EXPECT_TRUE(shell.execs.empty());
    EXPECT_EQ("", RecordedMessages());
  }
}

TEST_F(WidgetTest, EveryWayOutOfThePromptButDownloadCountsAsNext) {
  const struct {
    const char* name;
    fwtest::ModalAction answer;
    int choice;
  } cases[] = {
      {"Next button", PressNext, 0},
      {"Escape key", [](CDialog& d) {
         // As typed: the dialog's loop turns the key into its cancel command.
         ::PostMessageA(::GetDlgItem(d.m_hWnd, IDOK), WM_KEYDOWN, VK_ESCAPE, 0);
       },
       0},
      {"close command", [](CDialog& d) { d.PostMessage(WM_CLOSE); }, 0},
      {"Download button", PressDownload, 1},
  };
  AddDevice("KX-7100");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    shell = FakeShellPlatform();
    AddonFlowState.WidgetPromptChoice = -7;
    RunMain([&](CMainDlg& dlg) {
      ClickDevice(dlg, 0);
      fwtest::PushModalAction(c.answer);
      dlg.OnWidget();
    });
    EXPECT_EQ(c.choice, AddonFlowState.WidgetPromptChoice);
    EXPECT_EQ("192.168.0.32", shell.files["C:\\ip.txt"]) << "written before the prompt";
    if (c.choice == 1) {
      EXPECT_TRUE(shell.opened.empty());
      const std::vector<std::pair<std::string, UINT>> explorer = {
          {std::string("explorer ") + kWidgetEngineDownloadUrl, SW_HIDE}};
      EXPECT_EQ(explorer, shell.execs);
    } else {
      EXPECT_EQ(std::vector<std::string>{"NXORAEu_KX7100_Widget.widget"}, shell.opened);
      EXPECT_TRUE(shell.execs.empty());
    }
  }
}

TEST_F(WidgetTest, UnknownModelAsksForTheModel) {
  const struct {
    const char* name;
    const char* model;
    fwtest::ModalAction choose;
    int choice;
    const char* file;  // nullptr: nothing opened
  } cases[] = {
      {"lower case KX-7200, KX-7200 chosen", "kx-7200",
       [](CDialog& d) { fwtest::ClickButton(d, IDC_MODEL_7200); fwtest::ClickButton(d, IDOK); }, 1,
       "NXORAEu_KX7200_Widget.widget"},
      {"no model, KX-7400 chosen", "",
       [](CDialog& d) { fwtest::ClickButton(d, IDC_MODEL_7400); fwtest::ClickButton(d, IDOK); }, 2,
       "NXORAEu_KX7400_Widget.widget"},
      {"trailing blank, KX-7100 chosen", "KX-7100 ",
       [](CDialog& d) { fwtest::ClickButton(d, IDC_MODEL_7100); fwtest::ClickButton(d, IDOK); }, 0,
       "NXORAEu_KX7100_Widget.widget"},
      {"OK with nothing checked", "KX-9999", [](CDialog& d) { fwtest::ClickButton(d, IDOK); }, -1, nullptr},
      {"Cancel after checking", "KX-9999",
       [](CDialog& d) { fwtest::ClickButton(d, IDC_MODEL_7100); fwtest::ClickButton(d, IDCANCEL); }, -1,
       nullptr},
      {"Escape", "KX-9999", [](CDialog& d) { d.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0); },
       -1, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    net.devices.clear();
    shell = FakeShellPlatform();
    AddonFlowState.ModelChoice = 5;
    AddDevice(c.model);
    bool startedUnchecked = false;
    RunMain([&](CMainDlg& dlg) {
      ClickDevice(dlg, 0);
      fwtest::PushModalAction(PressNext);
      fwtest::PushModalAction([&](CDialog& d) {
        EXPECT_EQ(UINT(IDD_MODEL_SELECT), d.GetTemplateID());
        startedUnchecked = d.GetCheckedRadioButton(IDC_MODEL_7100, IDC_MODEL_7400) == 0;
        c.choose(d);
      });
      dlg.OnWidget();
    });
    EXPECT_TRUE(startedUnchecked);
    EXPECT_EQ(c.choice, AddonFlowState.ModelChoice);
    EXPECT_EQ(c.file ? std::vector<std::string>{c.file} : std::vector<std::string>{}, shell.opened);
    EXPECT_EQ("", RecordedMessages());
  }
}

// A dialog that could not be created ends DoModal with -1 and no button
// pressed: its answer is then the cleared one, never the last dialog's.
namespace {
void FailToShow(CDialog& d) { d.EndDialog(-1); }
}  // namespace

TEST_F(WidgetTest, PromptThatFailsToShowCountsAsNext) {
  AddDevice("KX-7100");
  AddonFlowState.WidgetPromptChoice = 1;  // the last prompt's Download
  RunMain([&](CMainDlg& dlg) {
    ClickDevice(dlg, 0);
    fwtest::PushModalAction(FailToShow);
    dlg.OnWidget();
  });
  EXPECT_EQ(0, AddonFlowState.WidgetPromptChoice);
  EXPECT_TRUE(shell.execs.empty()) << "the download page opened";
  EXPECT_EQ(std::vector<std::string>{"NXORAEu_KX7100_Widget.widget"}, shell.opened);
}

TEST_F(WidgetTest, ModelDialogThatFailsToShowOpensNothing) {
  AddDevice("KX-9999");
  AddonFlowState.ModelChoice = 1;  // the last dialog's KX-7200
  RunMain([&](CMainDlg& dlg) {
    ClickDevice(dlg, 0);
    fwtest::PushModalAction(PressNext);
    fwtest::PushModalAction(FailToShow);
    dlg.OnWidget();
  });
  EXPECT_EQ(-1, AddonFlowState.ModelChoice);
  EXPECT_TRUE(shell.opened.empty());
  EXPECT_EQ("", RecordedMessages());
}

TEST_F(WidgetTest, ModelComesFromTheClickedDeviceAndAddressFromTheSelectedRow) {
  AddDevice("KX-7200", "192.168.0.32");
  AddDevice("KX-7400", "192.168.0.33");
  RunMain([&](CMainDlg& dlg) {
    ClickDevice(dlg, 0);
    // The selection moves to the second row without a click.
    dlg.deviceListCtrl.SetItemState(0, 0, LVIS_SELECTED);
    dlg.deviceListCtrl.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
    fwtest::PushModalAction(PressNext);
    dlg.OnWidget();
  });
  EXPECT_EQ("192.168.0.33", shell.files["C:\\ip.txt"]);
  EXPECT_EQ(std::vector<std::string>{"NXORAEu_KX7200_Widget.widget"}, shell.opened);
}

TEST_F(WidgetTest, FailuresTellTheUserAndGoNoFurther) {
  const struct {
    const char* name;
    bool writeSucceeds;
    INT_PTR openResult;
    bool select;
    bool scrollSelectionAway;
    bool prompt;
    const char* message;
  } cases[] = {
      {"no selected row", true, 42, false, false, false, "\"Please select a server.\" (Warning, MB_ICONEXCLAMATION)\n"},
      {"selected row above the top visible one", true, 42, true, true, false,
       "\"Please select a server.\" (Warning, MB_ICONEXCLAMATION)\n"},
      {"address file not written", false, 42, true, false, false,
       "\"Failed to write the device address for the widget.\" (Error, MB_ICONHAND)\n"},
      {"no program opens the widget", true, 31 /* no program for the type */, true, false, true,
       "\"Execute widget file error!\" (Warning, MB_ICONINFORMATION)\n"},
      {"shell answers 32", true, 32, true, false, true,
       "\"Execute widget file error!\" (Warning, MB_ICONINFORMATION)\n"},
  };
  for (int i = 0; i < 15; ++i) AddDevice("KX-7100", "192.168.0." + std::to_string(10 + i));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    shell = FakeShellPlatform();
    shell.writeSucceeds = c.writeSucceeds;
    shell.openResult = c.openResult;
    fwtest::ClearMessageBoxes();
    RunMain([&](CMainDlg& dlg) {
      if (c.select) ClickDevice(dlg, 0);
      if (c.scrollSelectionAway) {
        dlg.deviceListCtrl.SendMessage(LVM_ENSUREVISIBLE, dlg.deviceListCtrl.GetItemCount() - 1, FALSE);
        ASSERT_GT(dlg.deviceListCtrl.GetTopIndex(), 0) << "the list did not scroll";
      }
      if (c.prompt) fwtest::PushModalAction(PressNext);
      dlg.OnWidget();
    });
    EXPECT_EQ(c.message, RecordedMessages());
    if (!c.prompt) {
      EXPECT_TRUE(shell.opened.empty());
    }
    if (!c.writeSucceeds || !c.select || c.scrollSelectionAway) {
      EXPECT_TRUE(shell.files.empty());
    }
  }
}
