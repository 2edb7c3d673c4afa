// Test seams: recorded message boxes and queued actions for modal dialogs.
// All of it runs on the user-interface thread.
#include "testing.h"

#include "framework_internal.h"

#include <algorithm>
#include <deque>
#include <utility>

namespace {

constexpr DWORD kDefaultWatchdog = 10000;
constexpr UINT kSeamTimerPeriod = 10;

struct SeamState {
  bool installed = false;
  std::deque<fwtest::ModalAction> actions;
  std::deque<int> answers;
  fwtest::MessageBoxHandler handler;
  std::vector<fwtest::MessageBoxCall> calls;
  DWORD watchdog = kDefaultWatchdog;
  std::vector<UINT> unexpected;
  std::vector<CDialog*> running;    // modal dialogs under the seam, innermost last
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

}  // namespace

// --- Framework side ---------------------------------------------------------

bool fwinternal::SeamMessageBox(HWND owner, const std::string& text, const std::string& caption,
                                UINT type, int* answer) {
  SeamState& s = State();
  if (!s.installed) return false;
  fwtest::MessageBoxCall call;
  call.owner = owner;
  call.text = text;
  call.caption = caption;
  call.type = type;
  if (s.handler) {
    fwtest::MessageBoxHandler handler = s.handler;   // the handler may replace itself
    call.answer = handler(call);
  } else if (!s.answers.empty()) {
    call.answer = s.answers.front();
    s.answers.pop_front();
  } else {
    call.answer = fwtest::DefaultMessageBoxAnswer(type);
  }
  State().calls.push_back(call);
  *answer = call.answer;
  return true;
}

void ModalSeam::DialogStarted(CDialog& dlg) {
  SeamState& s = State();
  if (!s.installed && s.actions.empty()) return;
  if (::SetTimer(dlg.m_hWnd, fwtest::kSeamTimerId, kSeamTimerPeriod, nullptr) == 0) return;
  dlg.m_bSeamTimer = true;
  dlg.m_seamIdleSince = ::GetTickCount();
  s.running.push_back(&dlg);
}

void ModalSeam::DialogEnded(CDialog& dlg) {
  SeamState& s = State();
  s.running.erase(std::remove(s.running.begin(), s.running.end(), &dlg), s.running.end());
  if (dlg.m_bSeamTimer && dlg.m_hWnd != nullptr) ::KillTimer(dlg.m_hWnd, fwtest::kSeamTimerId);
  dlg.m_bSeamTimer = false;
}

bool ModalSeam::HandleTimer(CWnd& wnd) {
  auto* dlg = dynamic_cast<CDialog*>(&wnd);
  if (dlg == nullptr || !dlg->m_bSeamTimer) return false;
  if (dlg->m_bSeamBusy) return true;
  SeamState& s = State();
  DWORD now = ::GetTickCount();
  // Only the innermost modal dialog acts, once it is shown and takes input.
  bool ready = !s.running.empty() && s.running.back() == dlg && ::IsWindowVisible(dlg->m_hWnd) &&
               ::IsWindowEnabled(dlg->m_hWnd);
  if (!ready) {
    dlg->m_seamIdleSince = now;
    return true;
  }
  if (!s.actions.empty()) {
    fwtest::ModalAction action = std::move(s.actions.front());
    s.actions.pop_front();
    dlg->m_bSeamBusy = true;
    action(*dlg);
    dlg->m_bSeamBusy = false;
    dlg->m_seamIdleSince = ::GetTickCount();
    return true;
  }
  if (s.installed && s.watchdog != 0 && now - dlg->m_seamIdleSince > s.watchdog) {
    s.unexpected.push_back(dlg->GetTemplateID());
    ::KillTimer(dlg->m_hWnd, fwtest::kSeamTimerId);
    dlg->m_bSeamTimer = false;
    ::EndDialog(dlg->m_hWnd, -1);
  }
  return true;
}

// --- Test side --------------------------------------------------------------

namespace fwtest {

ScopedSeams::ScopedSeams() {
  Reset(State());
  State().installed = true;
}

ScopedSeams::~ScopedSeams() {
  Reset(State());
  State().installed = false;
}

bool SeamsInstalled() { return State().installed; }

void PushModalAction(ModalAction action) { State().actions.push_back(std::move(action)); }
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
    case MB_OKCANCEL: buttons[0] = IDOK; buttons[1] = IDCANCEL; buttons[2] = IDCANCEL; break;
    case MB_ABORTRETRYIGNORE: buttons[0] = IDABORT; buttons[1] = IDRETRY; buttons[2] = IDIGNORE; break;
    case MB_YESNOCANCEL: buttons[0] = IDYES; buttons[1] = IDNO; buttons[2] = IDCANCEL; break;
    case MB_YESNO: buttons[0] = IDYES; buttons[1] = IDNO; buttons[2] = IDNO; break;
    case MB_RETRYCANCEL: buttons[0] = IDRETRY; buttons[1] = IDCANCEL; buttons[2] = IDCANCEL; break;
    case MB_CANCELTRYCONTINUE: buttons[0] = IDCANCEL; buttons[1] = IDTRYAGAIN; buttons[2] = IDCONTINUE; break;
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
