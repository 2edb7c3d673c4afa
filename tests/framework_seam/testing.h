// Message boxes and modal dialogs of the dialog framework driven by a test
// instead of a user, through the framework's DialogObserver. Only tests link
// this library (nexora_framework_seam).
//
// Message boxes. While a ScopedSeams object lives, AfxMessageBox (and so
// CWnd::MessageBox) shows nothing: it records the call (owner, text, caption,
// type) and returns the next answer pushed with PushMessageBoxAnswer, or the
// box's default button when none is queued (IDOK for MB_OK, the first button
// unless MB_DEFBUTTON2/3 say otherwise). A handler set with
// SetMessageBoxHandler answers instead of the queue.
//
// Modal dialogs. Actions pushed with PushModalAction run, one each, on the
// modal dialogs as they come up: once a dialog is visible, enabled (no inner
// modal window above it) and its message loop idle, the next action is taken
// from the queue and called with the dialog. An action can press buttons
// (ClickButton sends BM_CLICK; PostClickButton posts it so the action returns
// first), type into edits, send real input, or end the dialog. A dialog that
// stays open after an action gets the next one too; an inner dialog opened by
// an action's consequences gets the next one while its owner waits. This uses
// a window timer with id kSeamTimerId and its own timer procedure on each
// dialog, so the dialog's WindowProc never sees it; it runs only while
// ScopedSeams lives or actions are queued.
//
// Watchdog: while ScopedSeams lives, a dialog that sits idle with no action
// queued for longer than the watchdog time (default 10 s, SetModalWatchdog; 0
// turns it off) is ended with EndDialog(-1) and its template id recorded in
// UnexpectedDialogs(), so a test that forgot an action fails instead of
// hanging.
//
//   fwtest::ScopedSeams seams;
//   fwtest::PushModalAction([](CDialog& dlg) { fwtest::ClickButton(dlg, 1003); });  // opens an inner dialog
//   fwtest::PushModalAction([](CDialog& inner) { inner.EndDialog(IDOK); });
//   fwtest::PushModalAction([](CDialog& dlg) { dlg.EndDialog(IDCANCEL); });
//   outer.DoModal();
//   EXPECT_FALSE(fwtest::ModalActionsPending());
//   ASSERT_EQ(1u, fwtest::MessageBoxes().size());
#pragma once

#include "framework.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace fwtest {

constexpr UINT_PTR kSeamTimerId = 0x4E58;

struct MessageBoxCall {
  HWND owner = nullptr;
  std::string text;
  std::string caption;  // as shown: the application's name when none was given
  UINT type = 0;
  int answer = 0;  // what AfxMessageBox returned
  UINT icon() const { return type & MB_ICONMASK; }
  UINT buttons() const { return type & MB_TYPEMASK; }
};

using ModalAction = std::function<void(CDialog&)>;
using MessageBoxHandler = std::function<int(const MessageBoxCall&)>;

// Installs the seams as the framework's dialog observer; clears the queues,
// the records, the handler and the watchdog setting when made and again when
// destroyed, and then removes the observer.
class ScopedSeams {
public:
  ScopedSeams();
  ~ScopedSeams();
  ScopedSeams(const ScopedSeams&) = delete;
  ScopedSeams& operator=(const ScopedSeams&) = delete;
};

void PushModalAction(ModalAction action);
bool ModalActionsPending();
std::size_t ModalActionsLeft();
void ClearModalActions();

void PushMessageBoxAnswer(int answer);
void SetMessageBoxHandler(MessageBoxHandler handler);  // empty function: back to the queue
const std::vector<MessageBoxCall>& MessageBoxes();
void ClearMessageBoxes();
// The answer a real message box of this type gives to Enter.
int DefaultMessageBoxAnswer(UINT type);

void SetModalWatchdog(DWORD milliseconds);
const std::vector<UINT>& UnexpectedDialogs();

// BM_CLICK to item id of dlg, sent (returns after the click's handlers ran).
void ClickButton(CWnd& dlg, int id);
// BM_CLICK to item id of dlg, posted (runs from the dialog's message loop).
void PostClickButton(CWnd& dlg, int id);
// Runs this thread's messages for about `milliseconds`.
void PumpMessages(DWORD milliseconds);

}  // namespace fwtest
