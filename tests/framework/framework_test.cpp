// Tests of the dialog framework with real windows under Wine: modal dialogs
// driven through the test seams, message dispatch, reflection, data exchange,
// dialog initialisation data, controls, GDI ownership, the application object
// and threads.
#include "framework.h"
#include "testing.h"
#include "test_resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace {

class FrameworkEnvironment : public ::testing::Environment {
public:
  void SetUp() override { AfxInitCommonControls(); }
};
const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new FrameworkEnvironment);

LONG_PTR ProcOf(HWND hWnd) { return ::GetWindowLongPtrA(hWnd, GWLP_WNDPROC); }
LONG_PTR FrameworkProc() { return reinterpret_cast<LONG_PTR>(&AfxWndProc); }

// A button that records its owner drawing and its subclassing.
class RecordingButton : public CButton {
public:
  int drawCount = 0;
  UINT drawnId = 0;
  int preSubclassCount = 0;
  bool attachedBeforeProcSwap = false;
  void PreSubclassWindow() override {
    ++preSubclassCount;
    attachedBeforeProcSwap = FromHandlePermanent(m_hWnd) == this && ProcOf(m_hWnd) != FrameworkProc();
    CButton::PreSubclassWindow();
  }
  void DrawItem(LPDRAWITEMSTRUCT item) override {
    ++drawCount;
    drawnId = item->CtlID;
    ::FillRect(item->hDC, &item->rcItem, static_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH)));
  }
};

// A header that records the items it was asked to draw.
class RecordingHeader : public CHeaderCtrl {
public:
  std::vector<UINT> drawnItems;
  void DrawItem(LPDRAWITEMSTRUCT item) override { drawnItems.push_back(item->itemID); }
};

// A list that answers its own custom-draw notifications.
class RecordingList : public CListCtrl {
public:
  std::vector<DWORD> stages;
  BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override {
    if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == static_cast<UINT>(NM_CUSTOMDRAW)) {
      auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(lParam);
      stages.push_back(draw->nmcd.dwDrawStage);
      *pResult = draw->nmcd.dwDrawStage == CDDS_PREPAINT ? CDRF_NOTIFYITEMDRAW : CDRF_DODEFAULT;
      return TRUE;
    }
    return CListCtrl::OnChildNotify(message, wParam, lParam, pResult);
  }
};

// The main test dialog (template 100) with hooks for each test.
class TestDialog : public CDialog {
public:
  explicit TestDialog(UINT templateId = IDD_TEST_MAIN, CWnd* parent = nullptr)
      : CDialog(templateId, parent) {}

  bool attachControls = true;
  RecordingButton drawn;
  RecordingList list;
  CComboBox combo;
  CIPAddressCtrl ip;
  CEdit edit;
  CProgressCtrl progress;
  std::string editText;
  int radio = -1;
  int maxEditChars = 16;

  std::vector<std::string> events;
  std::vector<UINT> notifyCodesSeen;  // WM_NOTIFY codes that reached WindowProc
  std::vector<UINT> drawItemIdsSeen;  // WM_DRAWITEM that reached WindowProc
  std::vector<UINT> ctlColorIdsSeen;  // WM_CTLCOLORSTATIC that reached OnCtlColor
  std::vector<UINT_PTR> timersSeen;  // WM_TIMER ids that reached WindowProc
  std::function<void(TestDialog&)> onInit;
  std::function<void(TestDialog&)> onOpen;  // command of button 1040

protected:
  void DoDataExchange(CDataExchange* pDX) override {
    CDialog::DoDataExchange(pDX);
    if (!attachControls) return;
    DDX_Control(pDX, IDC_T_DRAWN, drawn);
    DDX_Control(pDX, IDC_T_LIST, list);
    DDX_Control(pDX, IDC_T_COMBO, combo);
    DDX_Control(pDX, IDC_T_IP, ip);
    DDX_Control(pDX, IDC_T_EDIT, edit);
    DDX_Control(pDX, IDC_T_PROGRESS, progress);
    DDX_Text(pDX, IDC_T_EDIT, editText);
    DDV_MaxChars(pDX, editText, maxEditChars);
    DDX_Radio(pDX, IDC_T_RADIO1, radio);
  }
  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    events.push_back("init");
    if (onInit) onInit(*this);
    return TRUE;
  }
  void OnOK() override {
    events.push_back("ok");
    CDialog::OnOK();
  }
  void OnCancel() override {
    events.push_back("cancel");
    CDialog::OnCancel();
  }
  HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT ctlColor) override {
    if (ctlColor == CTLCOLOR_STATIC && pWnd != nullptr) ctlColorIdsSeen.push_back(static_cast<UINT>(pWnd->GetDlgCtrlID()));
    return CDialog::OnCtlColor(pDC, pWnd, ctlColor);
  }
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    switch (message) {
      case WM_COMMAND:
        if (LOWORD(wParam) == IDC_T_OPEN && HIWORD(wParam) == BN_CLICKED) {
          events.push_back("open");
          if (onOpen) onOpen(*this);
          return 0;
        }
        break;
      case WM_NOTIFY:
        notifyCodesSeen.push_back(reinterpret_cast<NMHDR*>(lParam)->code);
        break;
      case WM_DRAWITEM:
        drawItemIdsSeen.push_back(static_cast<UINT>(wParam));
        break;
      case WM_TIMER:
        timersSeen.push_back(wParam);
        break;
      default:
        break;
    }
    return CDialog::WindowProc(message, wParam, lParam);
  }
};

// Runs `body` inside a modal TestDialog, then ends it with IDCANCEL.
void RunInDialog(TestDialog& dlg, const std::function<void(TestDialog&)>& body) {
  fwtest::PushModalAction([&](CDialog& d) {
    body(static_cast<TestDialog&>(d));
    d.EndDialog(IDCANCEL);
  });
  INT_PTR result = dlg.DoModal();
  EXPECT_EQ(IDCANCEL, result) << "expected the dialog to end through the test body, got " << result;
  EXPECT_FALSE(fwtest::ModalActionsPending()) << "expected the action to run, got it still queued";
}

class FrameworkTest : public ::testing::Test {
protected:
  fwtest::ScopedSeams seams;
};

// ---------------------------------------------------------------------------
// Modal dialogs and queued actions
// ---------------------------------------------------------------------------

TEST_F(FrameworkTest, QueuedActionRunsOnVisibleDialogAndEndsIt) {
  TestDialog dlg;
  bool visible = false, enabled = false;
  HWND seen = nullptr;
  fwtest::PushModalAction([&](CDialog& d) {
    seen = d.m_hWnd;
    visible = d.IsWindowVisible() != FALSE;
    enabled = d.IsWindowEnabled() != FALSE;
    d.EndDialog(1234);
  });
  INT_PTR result = dlg.DoModal();
  EXPECT_EQ(1234, result) << "expected DoModal to return EndDialog's value";
  EXPECT_NE(nullptr, seen) << "expected the action to get the dialog's window";
  EXPECT_TRUE(visible) << "expected the dialog visible when its action ran, got hidden";
  EXPECT_TRUE(enabled) << "expected the dialog enabled when its action ran, got disabled";
  EXPECT_EQ(nullptr, dlg.m_hWnd) << "expected the object detached after DoModal";
  EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(seen)) << "expected the handle out of the map";
  EXPECT_FALSE(::IsWindow(seen)) << "expected the dialog window destroyed";
  ASSERT_EQ(1u, dlg.events.size());
  EXPECT_EQ("init", dlg.events[0]);
}

TEST_F(FrameworkTest, MissingTemplateFailsWithMinusOne) {
  CDialog dlg(4711);
  EXPECT_EQ(-1, dlg.DoModal()) << "expected -1 for a template that does not exist";
}

// Every way of confirming or cancelling reaches OnOK / OnCancel.
TEST_F(FrameworkTest, ButtonsKeysAndCloseRouteToOkAndCancel) {
  struct Case {
    const char* name;
    std::function<void(CDialog&)> act;
    INT_PTR result;
    const char* handler;
  };
  const Case cases[] = {
      {"OK button", [](CDialog& d) { fwtest::ClickButton(d, IDOK); }, IDOK, "ok"},
      {"Cancel button", [](CDialog& d) { fwtest::ClickButton(d, IDCANCEL); }, IDCANCEL, "cancel"},
      {"Escape key",
       [](CDialog& d) {
         HWND edit = ::GetDlgItem(d.m_hWnd, IDC_T_EDIT);
         ::SetFocus(edit);
         ::PostMessageA(edit, WM_KEYDOWN, VK_ESCAPE, 0);
       },
       IDCANCEL, "cancel"},
      {"Enter key",
       [](CDialog& d) {
         HWND edit = ::GetDlgItem(d.m_hWnd, IDC_T_EDIT);
         ::SetFocus(edit);
         ::PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
       },
       IDOK, "ok"},
      {"WM_CLOSE", [](CDialog& d) { d.PostMessage(WM_CLOSE); }, IDCANCEL, "cancel"},
      {"system close command", [](CDialog& d) { d.PostMessage(WM_SYSCOMMAND, SC_CLOSE); }, IDCANCEL, "cancel"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TestDialog dlg;
    fwtest::PushModalAction(c.act);
    INT_PTR result = dlg.DoModal();
    EXPECT_EQ(c.result, result) << "expected result " << c.result << ", got " << result;
    ASSERT_EQ(2u, dlg.events.size()) << "expected init and one handler";
    EXPECT_EQ(c.handler, dlg.events[1]);
    EXPECT_TRUE(fwtest::UnexpectedDialogs().empty()) << "expected the dialog ended by the handler, not the watchdog";
  }
}

TEST_F(FrameworkTest, WatchdogEndsDialogThatNobodyDrives) {
  fwtest::SetModalWatchdog(200);
  TestDialog dlg;
  INT_PTR result = dlg.DoModal();
  EXPECT_EQ(-1, result) << "expected the watchdog's -1, got " << result;
  ASSERT_EQ(1u, fwtest::UnexpectedDialogs().size());
  EXPECT_EQ(static_cast<UINT>(IDD_TEST_MAIN), fwtest::UnexpectedDialogs()[0]);
}

TEST_F(FrameworkTest, DialogEndedDuringInitTakesNoAction) {
  TestDialog dlg;
  dlg.onInit = [](TestDialog& d) { d.EndDialog(IDOK); };
  fwtest::PushModalAction([](CDialog& d) { d.EndDialog(99); });
  EXPECT_EQ(IDOK, dlg.DoModal()) << "expected the result given during initialisation";
  EXPECT_TRUE(fwtest::ModalActionsPending()) << "expected the action left for the next dialog";
}

// An action opens an inner dialog (synchronously or through the loop); the
// next action drives the inner one while the outer one waits disabled.
TEST_F(FrameworkTest, NestedDialogGetsTheNextAction) {
  for (bool posted : {false, true}) {
    SCOPED_TRACE(posted ? "posted click" : "sent click");
    fwtest::ClearModalActions();
    TestDialog outer;
    INT_PTR innerResult = 0;
    HWND innerOwner = nullptr;
    HWND outerWindow = nullptr;
    bool outerEnabledDuringInner = true;
    std::vector<std::string> order;
    outer.onOpen = [&](TestDialog& self) {
      TestDialog inner(IDD_TEST_INNER);
      inner.attachControls = false;
      outerWindow = self.m_hWnd;
      inner.onInit = [&](TestDialog& d) {
        innerOwner = ::GetWindow(d.m_hWnd, GW_OWNER);
        outerEnabledDuringInner = self.IsWindowEnabled() != FALSE;
      };
      innerResult = inner.DoModal();
      order.push_back("inner returned");
    };
    fwtest::PushModalAction([&](CDialog& d) {
      order.push_back("outer action");
      if (posted)
        fwtest::PostClickButton(d, IDC_T_OPEN);
      else
        fwtest::ClickButton(d, IDC_T_OPEN);
    });
    fwtest::PushModalAction([&](CDialog& d) {
      order.push_back("inner action");
      EXPECT_EQ(static_cast<UINT>(IDD_TEST_INNER), d.GetTemplateID()) << "expected the inner dialog to get action 2";
      fwtest::ClickButton(d, IDOK);
    });
    fwtest::PushModalAction([&](CDialog& d) {
      order.push_back("outer end");
      EXPECT_EQ(static_cast<UINT>(IDD_TEST_MAIN), d.GetTemplateID()) << "expected the outer dialog to get action 3";
      d.EndDialog(IDCANCEL);
    });
    EXPECT_EQ(IDCANCEL, outer.DoModal());
    EXPECT_EQ(IDOK, innerResult) << "expected the inner dialog confirmed, got " << innerResult;
    EXPECT_EQ(outerWindow, innerOwner) << "expected the inner dialog owned by the outer one";
    EXPECT_FALSE(outerEnabledDuringInner) << "expected the outer dialog disabled while the inner one runs";
    std::vector<std::string> expected = {"outer action", "inner action", "inner returned", "outer end"};
    EXPECT_EQ(expected, order);
    EXPECT_FALSE(fwtest::ModalActionsPending());
  }
}

// ---------------------------------------------------------------------------
// Message dispatch
// ---------------------------------------------------------------------------

// A dialog whose WindowProc handles a private message and WM_SETTEXT.
class DispatchDialog : public CDialog {
public:
  DispatchDialog() : CDialog(IDD_TEST_INNER) {}
  std::vector<UINT> seen;
  UINT messageInDefault = 0;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    seen.push_back(message);
    switch (message) {
      case WM_APP + 1:
        return 42;
      case WM_SETTEXT: {
        // A nested message before Default() must not change what Default() passes on.
        SendMessage(WM_APP + 1);
        messageInDefault = GetCurrentMessage()->message;
        return Default();
      }
      default:
        break;
    }
    return CDialog::WindowProc(message, wParam, lParam);
  }
};

TEST_F(FrameworkTest, WindowProcSeesMessagesAndDefaultRunsTheOriginalProcedure) {
  DispatchDialog dlg;
  LRESULT privateAnswer = 0;
  std::string title;
  fwtest::PushModalAction([&](CDialog& d) {
    privateAnswer = d.SendMessage(WM_APP + 1);
    d.SetWindowText("Changed title");
    d.GetWindowText(title);
    d.EndDialog(IDOK);
  });
  dlg.DoModal();
  EXPECT_EQ(42, privateAnswer) << "expected the handler's answer";
  EXPECT_EQ("Changed title", title) << "expected Default() to let the original procedure set the text";
  EXPECT_EQ(static_cast<UINT>(WM_SETTEXT), dlg.messageInDefault) << "expected the current message restored after a nested one";
  auto saw = [&](UINT m) { return std::find(dlg.seen.begin(), dlg.seen.end(), m) != dlg.seen.end(); };
  EXPECT_TRUE(saw(WM_INITDIALOG)) << "expected WM_INITDIALOG through WindowProc";
  EXPECT_TRUE(saw(WM_GETTEXT)) << "expected unhandled messages through WindowProc too";
  EXPECT_TRUE(saw(WM_NCDESTROY)) << "expected WindowProc to see the window's last message";
}

// A window made with CreateEx or subclassed directly, and what happens when
// the window or the object goes first.
class CountingStatic : public CStatic {
public:
  int postNcDestroy = 0;
  int paints = 0;
  void PostNcDestroy() override { ++postNcDestroy; }
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_PAINT) ++paints;
    return CStatic::WindowProc(message, wParam, lParam);
  }
};

TEST_F(FrameworkTest, WindowLifetimesDetachAndRestore) {
  TestDialog dlg;
  dlg.attachControls = false;
  RunInDialog(dlg, [](TestDialog& d) {
    // Window destroyed first: the object is detached and told.
    {
      CountingStatic bar;
      ASSERT_TRUE(bar.Create("", WS_CHILD | WS_VISIBLE, CRect(0, 0, 20, 20), &d, 0xffff));
      HWND h = bar.m_hWnd;
      EXPECT_EQ(&bar, CWnd::FromHandlePermanent(h));
      bar.UpdateWindow();
      bar.Invalidate();
      bar.UpdateWindow();
      EXPECT_GE(bar.paints, 1) << "expected WM_PAINT through WindowProc";
      ::DestroyWindow(h);
      EXPECT_EQ(nullptr, bar.m_hWnd) << "expected m_hWnd cleared on WM_NCDESTROY";
      EXPECT_EQ(1, bar.postNcDestroy) << "expected PostNcDestroy once, got " << bar.postNcDestroy;
      EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(h));
    }
    // Object destroyed first: a created window goes with it.
    HWND created = nullptr;
    {
      CStatic bar;
      ASSERT_TRUE(bar.Create("", WS_CHILD, CRect(0, 0, 5, 5), &d));
      created = bar.m_hWnd;
    }
    EXPECT_FALSE(::IsWindow(created)) << "expected the created window destroyed with its object";
    // Object destroyed first: a subclassed window gets its procedure back.
    HWND label = ::GetDlgItem(d.m_hWnd, IDC_T_LABEL);
    LONG_PTR original = ProcOf(label);
    {
      CWnd wrapper;
      ASSERT_TRUE(wrapper.SubclassWindow(label));
      EXPECT_EQ(FrameworkProc(), ProcOf(label));
      CWnd second;
      EXPECT_FALSE(second.SubclassWindow(label)) << "expected a second object refused for the same window";
    }
    EXPECT_EQ(original, ProcOf(label)) << "expected the original procedure restored";
    EXPECT_TRUE(::IsWindow(label)) << "expected a subclassed (not created) window kept";
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(label));
    // UnsubclassWindow hands the window back.
    CWnd again;
    ASSERT_TRUE(again.SubclassDlgItem(IDC_T_LABEL, &d));
    EXPECT_EQ(label, again.UnsubclassWindow());
    EXPECT_EQ(original, ProcOf(label));
    EXPECT_EQ(nullptr, again.m_hWnd);
  });
}

TEST_F(FrameworkTest, TemporaryWrappersAreTypedAndPermanentObjectsWin) {
  TestDialog dlg;
  RunInDialog(dlg, [](TestDialog& d) {
    HWND label = ::GetDlgItem(d.m_hWnd, IDC_T_LABEL);
    CWnd* temp = d.GetDlgItem(IDC_T_LABEL);
    ASSERT_NE(nullptr, temp);
    EXPECT_EQ(label, temp->m_hWnd);
    EXPECT_EQ(temp, d.GetDlgItem(IDC_T_LABEL)) << "expected the same temporary wrapper on a second look-up";
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(label)) << "expected a temporary wrapper outside the permanent map";
    EXPECT_EQ(static_cast<CWnd*>(&d.combo), d.GetDlgItem(IDC_T_COMBO)) << "expected the attached object for an attached control";
    EXPECT_EQ(nullptr, d.GetDlgItem(9999)) << "expected null for a missing item";
    // The list's header: a temporary CHeaderCtrl until one is subclassed.
    CHeaderCtrl* header = d.list.GetHeaderCtrl();
    ASSERT_NE(nullptr, header);
    EXPECT_EQ(0, header->GetDlgCtrlID()) << "expected the header as the list's child 0";
    RecordingHeader own;
    ASSERT_TRUE(own.SubclassWindow(header->m_hWnd));
    EXPECT_EQ(static_cast<CHeaderCtrl*>(&own), d.list.GetHeaderCtrl()) << "expected the subclassed header object";
  });
}

// ---------------------------------------------------------------------------
// Reflection
// ---------------------------------------------------------------------------

TEST_F(FrameworkTest, NotificationsReachTheSendingControlFirst) {
  TestDialog dlg;
  RunInDialog(dlg, [](TestDialog& d) {
    d.list.InsertColumn(0, "Name", LVCFMT_LEFT, 80);
    d.list.InsertItem(0, "row");
    d.list.Invalidate();
    d.list.UpdateWindow();
    d.drawn.Invalidate();
    d.drawn.UpdateWindow();
    d.GetDlgItem(IDC_T_LABEL)->Invalidate();
    d.GetDlgItem(IDC_T_LABEL)->UpdateWindow();

    // A click on the list, as the list reports it.
    NMITEMACTIVATE click{};
    click.hdr.hwndFrom = d.list.m_hWnd;
    click.hdr.idFrom = IDC_T_LIST;
    click.hdr.code = static_cast<UINT>(NM_CLICK);
    click.iItem = 0;
    d.SendMessage(WM_NOTIFY, IDC_T_LIST, reinterpret_cast<LPARAM>(&click));

    ASSERT_FALSE(d.list.stages.empty()) << "expected NM_CUSTOMDRAW reflected to the list";
    EXPECT_EQ(static_cast<DWORD>(CDDS_PREPAINT), d.list.stages[0]);
    EXPECT_NE(d.list.stages.end(),
              std::find(d.list.stages.begin(), d.list.stages.end(), static_cast<DWORD>(CDDS_ITEMPREPAINT)))
        << "expected the list's CDRF_NOTIFYITEMDRAW answer to reach the list view";
    EXPECT_EQ(d.notifyCodesSeen.end(),
              std::find(d.notifyCodesSeen.begin(), d.notifyCodesSeen.end(), static_cast<UINT>(NM_CUSTOMDRAW)))
        << "expected NM_CUSTOMDRAW kept from the dialog once the list handled it";
    EXPECT_NE(d.notifyCodesSeen.end(),
              std::find(d.notifyCodesSeen.begin(), d.notifyCodesSeen.end(), static_cast<UINT>(NM_CLICK)))
        << "expected NM_CLICK, which the list ignores, to reach the dialog";

    EXPECT_GE(d.drawn.drawCount, 1) << "expected WM_DRAWITEM reflected to the button's DrawItem";
    EXPECT_EQ(static_cast<UINT>(IDC_T_DRAWN), d.drawn.drawnId);
    EXPECT_TRUE(d.drawItemIdsSeen.empty()) << "expected WM_DRAWITEM kept from the dialog, got " << d.drawItemIdsSeen.size();

    EXPECT_NE(d.ctlColorIdsSeen.end(),
              std::find(d.ctlColorIdsSeen.begin(), d.ctlColorIdsSeen.end(), static_cast<UINT>(IDC_T_LABEL)))
        << "expected WM_CTLCOLORSTATIC of a plain label to reach the dialog's OnCtlColor";
  });
}

TEST_F(FrameworkTest, OwnerDrawnHeaderItemsReachTheHeaderThroughTheList) {
  TestDialog dlg;
  RunInDialog(dlg, [](TestDialog& d) {
    d.list.InsertColumn(0, "One", LVCFMT_LEFT, 60);
    d.list.InsertColumn(1, "Two", LVCFMT_LEFT, 60);
    RecordingHeader header;
    ASSERT_TRUE(header.SubclassWindow(d.list.GetHeaderCtrl()->m_hWnd));
    EXPECT_EQ(2, header.GetItemCount());
    for (int i = 0; i < 2; ++i) {
      HDITEMA item{};
      item.mask = HDI_FORMAT;
      item.fmt = HDF_OWNERDRAW;
      ::SendMessageA(header.m_hWnd, HDM_SETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    }
    header.Invalidate();
    header.UpdateWindow();
    std::vector<UINT> expected = {0, 1};
    EXPECT_EQ(expected, header.drawnItems) << "expected both columns drawn by the header object";
    CRect second;
    ASSERT_TRUE(header.GetItemRect(1, &second));
    EXPECT_EQ(60, second.left) << "expected column 2 to start at 60, got " << second.left;
  });
}

// ---------------------------------------------------------------------------
// Data exchange and dialog initialisation data
// ---------------------------------------------------------------------------

TEST_F(FrameworkTest, DdxControlSubclassesOnceAfterPreSubclassWindow) {
  TestDialog dlg;
  HWND button = nullptr;
  RunInDialog(dlg, [&](TestDialog& d) {
    button = ::GetDlgItem(d.m_hWnd, IDC_T_DRAWN);
    EXPECT_EQ(button, d.drawn.m_hWnd);
    EXPECT_EQ(1, d.drawn.preSubclassCount);
    EXPECT_TRUE(d.drawn.attachedBeforeProcSwap)
        << "expected PreSubclassWindow with the object attached and the procedure not yet replaced";
    EXPECT_EQ(FrameworkProc(), ProcOf(button)) << "expected the framework's procedure afterwards";
    d.UpdateData(FALSE);
    d.UpdateData(TRUE);
    EXPECT_EQ(1, d.drawn.preSubclassCount) << "expected no second subclassing by later exchanges";
  });
  EXPECT_EQ(nullptr, dlg.drawn.m_hWnd) << "expected the control detached when the dialog closed";
  EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(button));
}

TEST_F(FrameworkTest, TextRadioAndLengthLimitExchange) {
  TestDialog dlg;
  dlg.editText = "admin";
  dlg.radio = 1;
  UINT limit = 0;
  std::string shown;
  int checked = 0;
  fwtest::PushModalAction([&](CDialog& base) {
    auto& d = static_cast<TestDialog&>(base);
    limit = d.edit.GetLimitText();
    d.edit.GetWindowText(shown);
    checked = d.GetCheckedRadioButton(IDC_T_RADIO1, IDC_T_RADIO3);
    // Seventeen characters put in past the limit: OK refuses to close.
    d.edit.SetWindowText("12345678901234567");
    fwtest::ClickButton(d, IDOK);
  });
  fwtest::PushModalAction([&](CDialog& base) {
    auto& d = static_cast<TestDialog&>(base);
    EXPECT_EQ(::GetDlgItem(d.m_hWnd, IDC_T_EDIT), ::GetFocus()) << "expected the focus on the refused edit";
    d.edit.SetWindowText("secret");
    d.CheckRadioButton(IDC_T_RADIO1, IDC_T_RADIO3, IDC_T_RADIO3);
    fwtest::ClickButton(d, IDOK);
  });
  EXPECT_EQ(IDOK, dlg.DoModal());
  EXPECT_EQ(16u, limit) << "expected EM_LIMITTEXT 16 from DDV_MaxChars, got " << limit;
  EXPECT_EQ("admin", shown) << "expected DDX_Text to show the member";
  EXPECT_EQ(IDC_T_RADIO2, checked) << "expected radio index 1 checked, got id " << checked;
  ASSERT_EQ(1u, fwtest::MessageBoxes().size()) << "expected one refusal message";
  EXPECT_EQ("Enter no more than 16 characters.", fwtest::MessageBoxes()[0].text);
  EXPECT_EQ("secret", dlg.editText) << "expected the accepted text saved";
  EXPECT_EQ(2, dlg.radio) << "expected radio index 2 saved, got " << dlg.radio;
  std::vector<std::string> expected = {"init", "ok", "ok"};
  EXPECT_EQ(expected, dlg.events);
}

TEST_F(FrameworkTest, RadioGroupWithNothingCheckedGivesMinusOne) {
  TestDialog dlg;
  dlg.radio = 5;  // out of range: nothing is checked on loading
  fwtest::PushModalAction([](CDialog& d) { fwtest::ClickButton(d, IDOK); });
  EXPECT_EQ(IDOK, dlg.DoModal());
  EXPECT_EQ(-1, dlg.radio) << "expected -1 with no radio button checked, got " << dlg.radio;
}

// Every reader of a window's text gives the whole text, however long, and
// nothing for a control that is not there.
TEST(WindowText, ReadersGiveTheWholeText) {
  constexpr int kEditId = 1234;
  CWnd parent;
  ASSERT_TRUE(parent.CreateEx(0, "STATIC", "", WS_POPUP, CRect(0, 0, 50, 20), nullptr, 0));
  HWND edit = ::CreateWindowExA(0, "EDIT", "", WS_CHILD | ES_AUTOHSCROLL, 0, 0, 40, 16, parent.m_hWnd,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditId)), nullptr, nullptr);
  ASSERT_NE(nullptr, edit);
  CWnd field;
  ASSERT_TRUE(field.SubclassWindow(edit));
  for (size_t length : {0, 1, 255, 256, 5000}) {
    std::string text(length, 'x');
    for (size_t i = 0; i < length; ++i) text[i] = static_cast<char>('a' + i % 26);
    ASSERT_TRUE(::SetWindowTextA(edit, text.c_str()));
    std::string own = "stale", item = "stale", exchanged = "stale";
    field.GetWindowText(own);
    parent.GetDlgItemText(kEditId, item);
    CDataExchange dx(&parent, TRUE);
    DDX_Text(&dx, kEditId, exchanged);
    EXPECT_EQ(text, own) << "GetWindowText: " << length << " characters set, got " << own.size();
    EXPECT_EQ(text, item) << "GetDlgItemText: " << length << " characters set, got " << item.size();
    EXPECT_EQ(text, exchanged) << "DDX_Text: " << length << " characters set, got " << exchanged.size();
  }
  std::string missing = "stale";
  parent.GetDlgItemText(kEditId + 1, missing);
  EXPECT_EQ("", missing) << "expected no text for a control that is not there";
  field.UnsubclassWindow();
  parent.DestroyWindow();
}

std::vector<std::string> ComboItems(CComboBox& combo) {
  std::vector<std::string> items;
  for (int i = 0; i < combo.GetCount(); ++i) {
    std::string text;
    combo.GetLBText(i, text);
    items.push_back(text);
  }
  return items;
}

TEST_F(FrameworkTest, DialogInitDataFillsComboInOrder) {
  TestDialog dlg;
  RunInDialog(dlg, [](TestDialog& d) {
    std::vector<std::string> expected = {"Disable", "Enable", "Third"};
    EXPECT_EQ(expected, ComboItems(d.combo)) << "expected the template's items in resource order";
    std::string none = "unchanged";
    d.combo.GetLBText(7, none);
    EXPECT_EQ("", none) << "expected an empty text for an index past the end";
    EXPECT_EQ(CB_ERR, d.combo.GetLBTextLen(7));
  });
}

TEST_F(FrameworkTest, DialogInitDataFaultsAreReportedWithoutHarm) {
  struct Case {
    const char* name;
    UINT resource;
    BOOL result;
    std::vector<std::string> items;
  };
  const Case cases[] = {
      {"no such resource", 999, TRUE, {}},
      {"length past the end", IDR_DLGINIT_TRUNCATED, FALSE, {"First"}},
      {"unknown message skipped", IDR_DLGINIT_UNKNOWN_MSG, TRUE, {"Good"}},
      {"missing control", IDR_DLGINIT_NO_CONTROL, FALSE, {"Real"}},
  };
  TestDialog dlg;
  RunInDialog(dlg, [&](TestDialog& d) {
    for (const Case& c : cases) {
      SCOPED_TRACE(c.name);
      d.combo.ResetContent();
      BOOL result = d.ExecuteDlgInit(MAKEINTRESOURCEA(c.resource));
      EXPECT_EQ(c.result, result) << "expected " << c.result << ", got " << result;
      EXPECT_EQ(c.items, ComboItems(d.combo));
    }
  });
}

// The seam's timer runs beside the dialog's own timers without reaching its
// window procedure.
TEST_F(FrameworkTest, SeamTimerNeverReachesTheDialog) {
  constexpr UINT_PTR kOwnTimer = 7;
  TestDialog dlg;
  fwtest::PushModalAction([&](CDialog& d) { ::SetTimer(d.m_hWnd, kOwnTimer, 10, nullptr); });
  fwtest::PushModalAction([](CDialog&) { fwtest::PumpMessages(150); });
  fwtest::PushModalAction([](CDialog& d) { d.EndDialog(IDCANCEL); });
  EXPECT_EQ(IDCANCEL, dlg.DoModal());
  EXPECT_FALSE(fwtest::ModalActionsPending());
  auto count = [&](UINT_PTR id) { return std::count(dlg.timersSeen.begin(), dlg.timersSeen.end(), id); };
  EXPECT_GT(count(kOwnTimer), 0) << "expected the dialog's own timer to reach it";
  EXPECT_EQ(0, count(fwtest::kSeamTimerId)) << "expected no seam timer in the dialog, got " << count(fwtest::kSeamTimerId);
}

// ---------------------------------------------------------------------------
// The dialog observer as the framework calls it
// ---------------------------------------------------------------------------

// Records the calls and drives the test dialogs itself: the outer one opens
// the inner one, the inner one is confirmed, and the outer one is then ended
// by its open handler.
class RecordingObserver : public DialogObserver {
public:
  struct Modal {
    std::string event;
    UINT templateId;
    HWND hWnd;
    bool windowAlive;
  };
  std::vector<Modal> modals;
  std::vector<std::string> boxes;  // "text|caption|type"
  int answer = IDRETRY;

  bool OnMessageBox(HWND, const std::string& text, const std::string& caption, UINT type, int* out) override {
    boxes.push_back(text + "|" + caption + "|" + std::to_string(type));
    *out = answer;
    return true;
  }
  void OnModalStarted(CDialog& dlg) override {
    modals.push_back({"started", dlg.GetTemplateID(), dlg.m_hWnd, ::IsWindow(dlg.m_hWnd) != FALSE});
    int button = dlg.GetTemplateID() == IDD_TEST_MAIN ? IDC_T_OPEN : IDOK;
    ::PostMessageA(::GetDlgItem(dlg.m_hWnd, button), BM_CLICK, 0, 0);
  }
  void OnModalEnded(CDialog& dlg) override {
    HWND started = nullptr;
    for (const Modal& m : modals)
      if (m.templateId == dlg.GetTemplateID()) started = m.hWnd;
    modals.push_back({"ended", dlg.GetTemplateID(), started, started != nullptr && ::IsWindow(started)});
  }
};

// Installs an observer for one test and puts back whatever was there.
class ObserverTest : public ::testing::Test {
protected:
  void SetUp() override {
    previous = GetDialogObserver();
    SetDialogObserver(&observer);
  }
  void TearDown() override { SetDialogObserver(previous); }
  RecordingObserver observer;
  DialogObserver* previous = nullptr;
};

TEST_F(ObserverTest, NestedModalDialogsStartAndEndInOrder) {
  TestDialog outer;
  INT_PTR innerResult = 0;
  outer.onOpen = [&](TestDialog& self) {
    TestDialog inner(IDD_TEST_INNER);
    inner.attachControls = false;
    innerResult = inner.DoModal();
    self.EndDialog(IDCANCEL);
  };
  EXPECT_EQ(IDCANCEL, outer.DoModal());
  EXPECT_EQ(IDOK, innerResult);
  struct Expected {
    const char* event;
    UINT templateId;
    bool windowAlive;
  };
  const Expected expected[] = {
      {"started", IDD_TEST_MAIN, true},
      {"started", IDD_TEST_INNER, true},
      {"ended", IDD_TEST_INNER, false},
      {"ended", IDD_TEST_MAIN, false},
  };
  ASSERT_EQ(std::size(expected), observer.modals.size());
  for (size_t i = 0; i < std::size(expected); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(expected[i].event, observer.modals[i].event);
    EXPECT_EQ(expected[i].templateId, observer.modals[i].templateId);
    EXPECT_EQ(expected[i].windowAlive, observer.modals[i].windowAlive)
        << "expected the window " << (expected[i].windowAlive ? "open" : "gone") << " at " << expected[i].event;
  }
}

TEST_F(ObserverTest, ObserverAnswersMessageBoxesAsShown) {
  CWinApp app("Observer App");
  EXPECT_EQ(IDRETRY, AfxMessageBox(nullptr, "Failed to map drive.", "Error", MB_RETRYCANCEL | MB_ICONHAND));
  observer.answer = IDOK;
  EXPECT_EQ(IDOK, AfxMessageBox("Restart now."));
  std::vector<std::string> expected = {
      "Failed to map drive.|Error|" + std::to_string(MB_RETRYCANCEL | MB_ICONHAND),
      "Restart now.|Observer App|" + std::to_string(MB_OK),
  };
  EXPECT_EQ(expected, observer.boxes);
}

// ---------------------------------------------------------------------------
// Message boxes
// ---------------------------------------------------------------------------

TEST_F(FrameworkTest, MessageBoxesAreRecordedWithCaptionIconAndOwner) {
  CWinApp app("Nexora Test App");
  TestDialog dlg;
  int answerQueued = 0, answerDefault = 0;
  HWND dialogWindow = nullptr;
  fwtest::PushMessageBoxAnswer(IDNO);
  RunInDialog(dlg, [&](TestDialog& d) {
    dialogWindow = d.m_hWnd;
    answerQueued = d.MessageBox("Set to dhcp client fail.", "Error", MB_YESNO | MB_ICONHAND);
    answerDefault = AfxMessageBox("Please format hard drive.");
  });
  const auto& boxes = fwtest::MessageBoxes();
  ASSERT_EQ(2u, boxes.size());
  EXPECT_EQ("Set to dhcp client fail.", boxes[0].text);
  EXPECT_EQ("Error", boxes[0].caption);
  EXPECT_EQ(static_cast<UINT>(MB_ICONHAND), boxes[0].icon());
  EXPECT_EQ(static_cast<UINT>(MB_YESNO), boxes[0].buttons());
  EXPECT_EQ(dialogWindow, boxes[0].owner) << "expected the dialog as owner";
  EXPECT_EQ(IDNO, answerQueued) << "expected the queued answer, got " << answerQueued;
  EXPECT_EQ("Nexora Test App", boxes[1].caption) << "expected the application's name as caption";
  EXPECT_EQ(0u, boxes[1].icon());
  EXPECT_EQ(IDOK, answerDefault) << "expected OK for MB_OK with nothing queued";
  EXPECT_EQ(dialogWindow, boxes[1].owner) << "expected the active dialog as owner of an ownerless box";
}

TEST_F(FrameworkTest, HandlerAnswersInsteadOfTheQueue) {
  std::vector<std::string> seen;
  fwtest::PushMessageBoxAnswer(IDCANCEL);
  fwtest::SetMessageBoxHandler([&](const fwtest::MessageBoxCall& call) {
    seen.push_back(call.text);
    return IDRETRY;
  });
  EXPECT_EQ(IDRETRY, AfxMessageBox(nullptr, "Failed to map drive.", "Error", MB_RETRYCANCEL));
  ASSERT_EQ(1u, seen.size());
  EXPECT_EQ("Failed to map drive.", seen[0]);
}

TEST(MessageBoxDefaults, DefaultAnswerIsTheDefaultButton) {
  struct Case {
    UINT type;
    int answer;
  };
  const Case cases[] = {
      {MB_OK, IDOK},
      {MB_OKCANCEL, IDOK},
      {MB_OKCANCEL | MB_DEFBUTTON2, IDCANCEL},
      {MB_YESNO | MB_ICONQUESTION, IDYES},
      {MB_YESNO | MB_DEFBUTTON2, IDNO},
      {MB_YESNOCANCEL | MB_DEFBUTTON3, IDCANCEL},
      {MB_ABORTRETRYIGNORE | MB_DEFBUTTON2, IDRETRY},
      {MB_RETRYCANCEL, IDRETRY},
  };
  for (const Case& c : cases) {
    int got = fwtest::DefaultMessageBoxAnswer(c.type);
    EXPECT_EQ(c.answer, got) << "type 0x" << std::hex << c.type << ": expected " << std::dec << c.answer
                             << ", got " << got;
  }
}

// ---------------------------------------------------------------------------
// Application object and colours
// ---------------------------------------------------------------------------

TEST_F(FrameworkTest, DialogBackgroundColourNeverReachesTextOrMessageBoxes) {
  CWinApp app("Colour test");
  app.SetDialogBkColor(RGB(255, 255, 255), RGB(255, 255, 255));
  ASSERT_NE(nullptr, app.GetDialogBkBrush());
  TestDialog dlg;
  RunInDialog(dlg, [&](TestDialog& d) {
    HDC dc = ::GetDC(d.m_hWnd);
    struct Case {
      UINT message;
      HWND from;
      bool appBrush;
    };
    const Case cases[] = {
        {WM_CTLCOLORDLG, d.m_hWnd, true},
        {WM_CTLCOLORSTATIC, ::GetDlgItem(d.m_hWnd, IDC_T_LABEL), false},
        {WM_CTLCOLORMSGBOX, d.m_hWnd, false},
        {WM_CTLCOLOREDIT, ::GetDlgItem(d.m_hWnd, IDC_T_EDIT), false},
        {WM_CTLCOLORBTN, ::GetDlgItem(d.m_hWnd, IDOK), false},
    };
    for (const Case& c : cases) {
      SCOPED_TRACE(c.message);
      ::SetTextColor(dc, RGB(1, 2, 3));
      HBRUSH brush = reinterpret_cast<HBRUSH>(
          d.SendMessage(c.message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(c.from)));
      EXPECT_EQ(c.appBrush, brush == app.GetDialogBkBrush())
          << "expected the application's brush " << (c.appBrush ? "" : "not ") << "to be used";
      if (!c.appBrush) {
        EXPECT_NE(RGB(255, 255, 255), ::GetTextColor(dc)) << "expected no white text outside the dialog background";
      }
    }
    ::ReleaseDC(d.m_hWnd, dc);
  });
}

class RecordingApp : public CWinApp {
public:
  RecordingApp() : CWinApp("Recording") {}
  BOOL initResult = FALSE;
  std::vector<std::string> calls;
  BOOL InitInstance() override {
    calls.push_back("init");
    if (initResult) ::PostQuitMessage(7);
    return initResult;
  }
  int ExitInstance() override {
    calls.push_back("exit");
    return CWinApp::ExitInstance() + 100;
  }
};

TEST(Application, WinMainRunsInitThenExitAndReturnsTheExitCode) {
  {
    RecordingApp app;
    EXPECT_EQ(&app, AfxGetApp());
    app.m_nExitCode = 1;  // start-up failure path: InitInstance FALSE
    EXPECT_EQ(101, AfxWinMain(::GetModuleHandleA(nullptr), nullptr, const_cast<LPSTR>(""), SW_SHOW));
    std::vector<std::string> expected = {"init", "exit"};
    EXPECT_EQ(expected, app.calls);
  }
  {
    RecordingApp app;
    app.initResult = TRUE;
    EXPECT_EQ(107, AfxWinMain(::GetModuleHandleA(nullptr), nullptr, const_cast<LPSTR>(""), SW_SHOW))
        << "expected WM_QUIT's code from Run passed through ExitInstance";
  }
  EXPECT_EQ(nullptr, AfxGetApp()) << "expected no application after its object is gone";
}

TEST(Application, MainWindowPointerIsClearedWhenItsObjectGoes) {
  CWinApp app("Main");
  {
    CDialog main(IDD_TEST_MAIN);
    app.m_pMainWnd = &main;
    EXPECT_EQ(&main, AfxGetMainWnd());
  }
  EXPECT_EQ(nullptr, AfxGetMainWnd()) << "expected no dangling main window";
}

// ---------------------------------------------------------------------------
// Controls
// ---------------------------------------------------------------------------

TEST_F(FrameworkTest, IpAddressControlReportsBlankAndFields) {
  TestDialog dlg;
  RunInDialog(dlg, [](TestDialog& d) {
    BYTE a = 9, b = 9, c = 9, e = 9;
    EXPECT_TRUE(d.ip.IsBlank()) << "expected a new control blank";
    EXPECT_EQ(0, d.ip.GetAddress(a, b, c, e)) << "expected no fields in a blank control";
    d.ip.SetAddress(192, 168, 1, 20);
    EXPECT_FALSE(d.ip.IsBlank());
    EXPECT_EQ(4, d.ip.GetAddress(a, b, c, e));
    EXPECT_EQ((std::vector<int>{192, 168, 1, 20}), (std::vector<int>{a, b, c, e}));
    d.ip.SetAddress(static_cast<DWORD>(MAKEIPADDRESS(10, 0, 0, 1)));
    DWORD packed = 0;
    EXPECT_EQ(4, d.ip.GetAddress(packed));
    EXPECT_EQ(10u, FIRST_IPADDRESS(packed)) << "expected field 0 in the highest byte";
    d.ip.ClearAddress();
    EXPECT_TRUE(d.ip.IsBlank()) << "expected blank after ClearAddress";
    // One field typed: one non-blank field.
    HWND field = ::FindWindowExA(d.ip.m_hWnd, nullptr, "Edit", nullptr);
    ASSERT_NE(nullptr, field);
    ::SetWindowTextA(field, "77");
    EXPECT_FALSE(d.ip.IsBlank());
    int fields = d.ip.GetAddress(a, b, c, e);
    EXPECT_EQ(1, fields) << "expected 1 non-blank field, got " << fields;
    EXPECT_EQ(77, a + b + c + e) << "expected the typed field, others 0";
  });
}

TEST_F(FrameworkTest, ListProgressAndComboWrappers) {
  TestDialog dlg;
  RunInDialog(dlg, [](TestDialog& d) {
    CListCtrl& list = d.list;
    EXPECT_EQ(0u, list.SetExtendedStyle(LVS_EX_FULLROWSELECT) & LVS_EX_FULLROWSELECT);
    EXPECT_EQ(static_cast<DWORD>(LVS_EX_FULLROWSELECT), list.GetExtendedStyle() & LVS_EX_FULLROWSELECT);
    list.InsertColumn(0, "Name", LVCFMT_LEFT, 94);
    list.InsertColumn(1, "IP", LVCFMT_LEFT, 85);
    std::string longName(700, 'n');
    EXPECT_EQ(0, list.InsertItem(0, longName.c_str()));
    EXPECT_EQ(1, list.InsertItem(1, "second"));
    EXPECT_TRUE(list.SetItemText(1, 1, "10.0.0.2"));
    EXPECT_EQ(longName, list.GetItemText(0, 0)) << "expected a 700-character text read in full";
    EXPECT_EQ("10.0.0.2", list.GetItemText(1, 1));
    EXPECT_EQ(2, list.GetItemCount());
    EXPECT_TRUE(list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED));
    EXPECT_EQ(static_cast<UINT>(LVIS_SELECTED), list.GetItemState(1, LVIS_SELECTED));
    EXPECT_EQ(1, list.GetNextItem(-1, LVNI_SELECTED));
    EXPECT_EQ(0, list.GetTopIndex());
    CRect row;
    EXPECT_TRUE(list.GetItemRect(0, &row, LVIR_BOUNDS));
    EXPECT_GT(row.Height(), 0);
    EXPECT_TRUE(list.DeleteAllItems());
    EXPECT_EQ(0, list.GetItemCount());

    d.progress.SetRange(1, 100);
    d.progress.SetStep(1);
    int lower = 0, upper = 0;
    d.progress.GetRange(lower, upper);
    EXPECT_EQ(1, lower);
    EXPECT_EQ(100, upper);
    d.progress.SetPos(1);
    EXPECT_EQ(1, d.progress.StepIt()) << "expected StepIt to return the old position";
    EXPECT_EQ(2, d.progress.GetPos());

    d.combo.ResetContent();
    EXPECT_EQ(0, d.combo.AddString("LAN1"));
    EXPECT_EQ(1, d.combo.AddString("LAN2"));
    EXPECT_EQ(1, d.combo.SetCurSel(1));
    EXPECT_EQ(1, d.combo.GetCurSel());
    EXPECT_EQ(4, d.combo.GetLBTextLen(0));
  });
}

TEST_F(FrameworkTest, ScrollLimitIsTheLargestPositionNeverBelowTheStart) {
  TestDialog dlg;
  dlg.attachControls = false;
  RunInDialog(dlg, [](TestDialog& d) {
    CStatic bar;
    ASSERT_TRUE(bar.Create("", WS_CHILD | WS_VISIBLE | WS_VSCROLL, CRect(0, 0, 60, 60), &d));
    struct Case {
      int min, max;
      UINT page;
      int limit;
    };
    const Case cases[] = {
        {0, 100, 10, 91},  // 100 - (10 - 1)
        {0, 100, 0, 100},  // no page
        {0, 9, 30, 0},  // page larger than the range: nothing to scroll
        {5, 20, 1, 20},
    };
    for (const Case& c : cases) {
      SCROLLINFO info{};
      info.cbSize = sizeof info;
      info.fMask = SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL;
      info.nMin = c.min;
      info.nMax = c.max;
      info.nPage = c.page;
      ::SetScrollInfo(bar.m_hWnd, SB_VERT, &info, FALSE);
      int got = bar.GetScrollLimit(SB_VERT);
      EXPECT_EQ(c.limit, got) << "range " << c.min << ".." << c.max << " page " << c.page << ": expected "
                              << c.limit << ", got " << got;
    }
  });
}

// ---------------------------------------------------------------------------
// GDI ownership
// ---------------------------------------------------------------------------

TEST(Gdi, ObjectsAndDcsAreReleasedByTheirOwners) {
  HBITMAP bitmap = nullptr;
  HDC memory = nullptr;
  HGDIOBJ font = nullptr, brush = nullptr, pen = nullptr;
  HBITMAP compatible = nullptr;
  {
    CBitmap bmp;
    ASSERT_TRUE(bmp.LoadBitmap(IDB_TEST));
    bitmap = bmp;
    BITMAP info{};
    ASSERT_NE(0, bmp.GetBitmap(&info));
    EXPECT_EQ(4, info.bmWidth);
    EXPECT_EQ(3, info.bmHeight);

    CDC screen;
    screen.Attach(::GetDC(nullptr));
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    memory = dc;
    HBITMAP previous = dc.SelectObject(&bmp);
    EXPECT_NE(nullptr, previous) << "expected the DC's own bitmap returned";
    EXPECT_EQ(bitmap, static_cast<HBITMAP>(::GetCurrentObject(dc, OBJ_BITMAP)));
    EXPECT_EQ(bitmap, dc.SelectObject(previous)) << "expected the selected bitmap returned on restore";
    ::ReleaseDC(nullptr, screen.Detach());

    CFont f;
    ASSERT_TRUE(f.CreateFont(13, 0, 0, 0, 100, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Tahoma"));
    font = f.m_hObject;
    CBrush b(RGB(4, 134, 232));
    brush = b.m_hObject;
    CPen p(PS_SOLID, 1, RGB(0, 0, 0));
    pen = p.m_hObject;
    CBitmap c;
    ASSERT_TRUE(c.CreateCompatibleBitmap(&dc, 10, 10));
    compatible = c;
    EXPECT_NE(0u, ::GetObjectType(font));
  }
  EXPECT_EQ(0u, ::GetObjectType(bitmap)) << "expected the loaded bitmap deleted";
  EXPECT_EQ(0u, ::GetObjectType(memory)) << "expected the memory DC deleted";
  EXPECT_EQ(0u, ::GetObjectType(font)) << "expected the font deleted";
  EXPECT_EQ(0u, ::GetObjectType(brush)) << "expected the brush deleted";
  EXPECT_EQ(0u, ::GetObjectType(pen)) << "expected the pen deleted";
  EXPECT_EQ(0u, ::GetObjectType(compatible)) << "expected the compatible bitmap deleted";
}

TEST(Gdi, DetachHandsOnAndAttachTakesLoadImageResults) {
  HANDLE loaded = ::LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDB_TEST), IMAGE_BITMAP, 0, 0,
                               LR_CREATEDIBSECTION);
  ASSERT_NE(nullptr, loaded);
  HGDIOBJ kept = nullptr;
  {
    CBitmap bmp;
    ASSERT_TRUE(bmp.Attach(loaded));
    BITMAP info{};
    EXPECT_NE(0, bmp.GetBitmap(&info));
    EXPECT_EQ(4, info.bmWidth);
    kept = bmp.Detach();
  }
  EXPECT_EQ(static_cast<DWORD>(OBJ_BITMAP), ::GetObjectType(kept)) << "expected a detached bitmap left alive";
  ::DeleteObject(kept);

  CBitmap missing;
  EXPECT_FALSE(missing.LoadBitmap(4711)) << "expected FALSE for a missing bitmap";
  EXPECT_EQ(nullptr, missing.m_hObject);
  // A borrowed DC outlives its CDCHandle.
  HDC memory = ::CreateCompatibleDC(nullptr);
  { CDCHandle borrowed(memory); }
  EXPECT_EQ(static_cast<DWORD>(OBJ_MEMDC), ::GetObjectType(memory)) << "expected CDCHandle to leave the DC alone";
  ::DeleteDC(memory);
}

TEST_F(FrameworkTest, PaintAndClientDcsEndTheirPainting) {
  TestDialog dlg;
  dlg.attachControls = false;
  RunInDialog(dlg, [](TestDialog& d) {
    d.Invalidate();
    {
      CPaintDC paint(&d);
      EXPECT_NE(nullptr, paint.GetSafeHdc());
      EXPECT_NE(0, paint.m_ps.rcPaint.right) << "expected the invalid area in m_ps";
    }
    EXPECT_FALSE(::GetUpdateRect(d.m_hWnd, nullptr, FALSE)) << "expected EndPaint to validate the window";
    {
      CClientDC client(&d);
      ASSERT_NE(nullptr, client.GetSafeHdc());
      EXPECT_NE(0, client.GetTextCharset() + 1);
    }
  });
}

// ---------------------------------------------------------------------------
// Threads
// ---------------------------------------------------------------------------

UINT __cdecl WriteAndReport(LPVOID param) {
  auto* value = static_cast<volatile LONG*>(param);
  *value = ::GetThreadPriority(::GetCurrentThread());
  return 5;
}

TEST(Threads, BeginThreadRunsAtItsPriorityAndCanBeWaitedFor) {
  struct Case {
    int priority;
    DWORD flags;
  };
  const Case cases[] = {{THREAD_PRIORITY_NORMAL, 0}, {THREAD_PRIORITY_BELOW_NORMAL, 0}, {THREAD_PRIORITY_NORMAL, CREATE_SUSPENDED}};
  for (const Case& c : cases) {
    volatile LONG seenPriority = 1000;
    CWinThread* thread = AfxBeginThread(&WriteAndReport, const_cast<LONG*>(&seenPriority), c.priority, 0, c.flags);
    ASSERT_NE(nullptr, thread);
    if (c.flags & CREATE_SUSPENDED) {
      EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), thread->Wait(100)) << "expected a suspended thread to wait";
      EXPECT_EQ(1000, seenPriority);
      thread->ResumeThread();
    }
    ASSERT_EQ(static_cast<DWORD>(WAIT_OBJECT_0), thread->Wait(5000));
    DWORD code = 0;
    ::GetExitCodeThread(thread->m_hThread, &code);
    EXPECT_EQ(5u, code) << "expected the function's result as exit code";
    EXPECT_EQ(c.priority, seenPriority) << "expected priority " << c.priority << ", got " << seenPriority;
    delete thread;
  }
  EXPECT_EQ(nullptr, AfxBeginThread(nullptr, nullptr)) << "expected no thread without a function";
}

}  // namespace
