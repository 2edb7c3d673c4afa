// Recorded message boxes and queued actions for modal dialogs, as the
// framework's dialog observer. All of it runs on the user-interface thread.
#include "testing.h"

#include <algorithm>
#include <deque>
#include <list>
#include <utility>

namespace {

constexpr DWORD kDefaultWatchdog = 10000;
constexpr UINT kSeamTimerPeriod = 10;

// A modal dialog under the seam while its loop runs.
struct RunningDialog {
  CDialog* dlg = nullptr;
  HWND hWnd = nullptr;
  DWORD idleSince = 0;
  bool busy = false;  // its action is running
};

struct SeamState {
  bool installed = false;
  std::deque<fwtest::ModalAction> actions;
  std::deque<int> answers;
  fwtest::MessageBoxHandler handler;
  std::vector<fwtest::MessageBoxCall> calls;
  DWORD watchdog = kDefaultWatchdog;
  std::vector<UINT> unexpected;
  std::list<RunningDialog> running;  // innermost last; stable while actions open inner dialogs
};

SeamState& State() {
  static SeamState state;
  return state;
}

void Reset(SeamState& s) {
  s.actions.clear();
  s.answers.clear();
  s.handler = nullptr;
  s.calls.clear();
  s.watchdog = kDefaultWatchdog;
  s.unexpected.clear();
}

std::list<RunningDialog>::iterator FindRunning(HWND hWnd) {
  auto& running = State().running;
  return std::find_if(running.begin(), running.end(),
                      [hWnd](const RunningDialog& r) { return r.hWnd == hWnd; });
}

// WM_TIMER of the seam's timer, called by DispatchMessage in place of the
// dialog's window procedure.
void CALLBACK SeamTimerProc(HWND hWnd, UINT, UINT_PTR, DWORD) {
  SeamState& s = State();
  auto it = FindRunning(hWnd);
  if (it == s.running.end()) {
    ::KillTimer(hWnd, fwtest::kSeamTimerId);
    return;
  }
  RunningDialog& entry = *it;
  if (entry.busy) return;
  DWORD now = ::GetTickCount();
  // Only the innermost modal dialog acts, once it is shown and takes input.
  bool ready = &s.running.back() == &entry && ::IsWindowVisible(hWnd) && ::IsWindowEnabled(hWnd);
  if (!ready) {
    entry.idleSince = now;
    return;
  }
  if (!s.actions.empty()) {
    fwtest::ModalAction action = std::move(s.actions.front());
    s.actions.pop_front();
    entry.busy = true;
    action(*entry.dlg);
    entry.busy = false;
    entry.idleSince = ::GetTickCount();
    return;
  }
  if (s.installed && s.watchdog != 0 && now - entry.idleSince > s.watchdog) {
    s.unexpected.push_back(entry.dlg->GetTemplateID());
    ::KillTimer(hWnd, fwtest::kSeamTimerId);
    ::EndDialog(hWnd, -1);
  }
}

class SeamObserver : public DialogObserver {
public:
  bool OnMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type,
                    int* answer) override {
    SeamState& s = State();
    if (!s.installed) return false;
    fwtest::MessageBoxCall call;
    call.owner = owner;
    call.text = text;
    call.caption = caption;
    call.type = type;
    if (s.handler) {
      fwtest::MessageBoxHandler handler = s.handler;  // the handler may replace itself
      call.answer = handler(call);
    } else if (!s.answers.empty()) {
      call.answer = s.answers.front();
      s.answers.pop_front();
    } else {
      call.answer = fwtest::DefaultMessageBoxAnswer(type);
    }
    s.calls.push_back(call);
    *answer = call.answer;
    return true;
  }

  void OnModalStarted(CDialog& dlg) override {
    SeamState& s = State();
    if (!s.installed && s.actions.empty()) return;
    if (::SetTimer(dlg.m_hWnd, fwtest::kSeamTimerId, kSeamTimerPeriod, &SeamTimerProc) == 0) return;
    RunningDialog entry;
    entry.dlg = &dlg;
    entry.hWnd = dlg.m_hWnd;
    entry.idleSince = ::GetTickCount();
    s.running.push_back(entry);
  }

  void OnModalEnded(CDialog& dlg) override {
    // The window and with it the timer are gone.
    State().running.remove_if([&dlg](const RunningDialog& r) { return r.dlg == &dlg; });
  }
};

SeamObserver& Observer() {
  static SeamObserver observer;
  return observer;
}

}  // namespace

// --- Test side --------------------------------------------------------------

namespace fwtest {

ScopedSeams::ScopedSeams() {
  Reset(State());
  State().installed = true;
  SetDialogObserver(&Observer());
}

ScopedSeams::~ScopedSeams() {
  Reset(State());
  State().installed = false;
  if (GetDialogObserver() == &Observer()) SetDialogObserver(nullptr);
}

// Actions queued without ScopedSeams still need the observer to reach the dialogs.
void PushModalAction(ModalAction action) {
  State().actions.push_back(std::move(action));
  if (GetDialogObserver() == nullptr) SetDialogObserver(&Observer());
}
bool ModalActionsPending() { return !State().actions.empty(); }
std::size_t ModalActionsLeft() { return State().actions.size(); }
void ClearModalActions() { State().actions.clear(); }

void PushMessageBoxAnswer(int answer) { State().answers.push_back(answer); }
void SetMessageBoxHandler(MessageBoxHandler handler) { State().handler = std::move(handler); }
const std::vector<MessageBoxCall>& MessageBoxes() { return State().calls; }
void ClearMessageBoxes() { State().calls.clear(); }

int DefaultMessageBoxAnswer(UINT type) {
  int buttons[3] = {IDOK, IDOK, IDOK};
  switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
      buttons[0] = IDOK;
      buttons[1] = IDCANCEL;
      buttons[2] = IDCANCEL;
      break;
    case MB_ABORTRETRYIGNORE:
      buttons[0] = IDABORT;
      buttons[1] = IDRETRY;
      buttons[2] = IDIGNORE;
      break;
    case MB_YESNOCANCEL:
      buttons[0] = IDYES;
      buttons[1] = IDNO;
      buttons[2] = IDCANCEL;
      break;
    case MB_YESNO:
      buttons[0] = IDYES;
      buttons[1] = IDNO;
      buttons[2] = IDNO;
      break;
    case MB_RETRYCANCEL:
      buttons[0] = IDRETRY;
      buttons[1] = IDCANCEL;
      buttons[2] = IDCANCEL;
      break;
    case MB_CANCELTRYCONTINUE:
      buttons[0] = IDCANCEL;
      buttons[1] = IDTRYAGAIN;
      buttons[2] = IDCONTINUE;
      break;
    default: break;
  }
  switch (type & MB_DEFMASK) {
    case MB_DEFBUTTON2: return buttons[1];
    case MB_DEFBUTTON3: return buttons[2];
    default: return buttons[0];
  }
}

void SetModalWatchdog(DWORD milliseconds) { State().watchdog = milliseconds; }
const std::vector<UINT>& UnexpectedDialogs() { return State().unexpected; }

void ClickButton(CWnd& dlg, int id) {
  if (HWND button = ::GetDlgItem(dlg.m_hWnd, id)) ::SendMessageA(button, BM_CLICK, 0, 0);
}

void PostClickButton(CWnd& dlg, int id) {
  if (HWND button = ::GetDlgItem(dlg.m_hWnd, id)) ::PostMessageA(button, BM_CLICK, 0, 0);
}

void PumpMessages(DWORD milliseconds) {
  DWORD start = ::GetTickCount();
  for (;;) {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
    DWORD elapsed = ::GetTickCount() - start;
    if (elapsed >= milliseconds) return;
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - elapsed, QS_ALLINPUT);
  }
}

}  // namespace fwtest
