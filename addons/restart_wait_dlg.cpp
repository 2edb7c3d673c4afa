#include "restart_wait_dlg.h"

#include "addon_state.h"
#include "clock.h"
#include "dialog_skins.h"
#include "install_run.h"
#include "resource.h"

CRestartWaitDlg::CRestartWaitDlg(CWnd* pParent)
    : CSkinDialog(pParent, DialogSkinSettings(IDD_RESTART_WAIT)) {}

CRestartWaitDlg::~CRestartWaitDlg() {
  // The window normally stopped the worker when it closed; this catches a
  // window that never got that far.
  StopWorker();
}

void CRestartWaitDlg::DoDataExchange(CDataExchange* pDX) {
  CSkinDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_RESTART_PROGRESS, progress);
}

BOOL CRestartWaitDlg::OnInitDialog() {
  CSkinDialog::OnInitDialog();
  m_stop = false;
  m_worker = AfxBeginThread(&CRestartWaitDlg::Worker, this, THREAD_PRIORITY_NORMAL);
  SetTimer(kCloseTimer, ActiveClock().TimerPeriod(kRestartWaitMs));
  return TRUE;
}

UINT __cdecl CRestartWaitDlg::Worker(LPVOID param) {
  auto* dlg = static_cast<CRestartWaitDlg*>(param);
  dlg->progress.SetRange(1, 100);
  dlg->progress.SetStep(1);
  for (int i = 0; i < kSteps && !dlg->m_stop; ++i) {
    dlg->progress.StepIt();
    PauseMs(kStepMs);
  }
  AddonFlowState.AddonAborted = 0;
  return 0;
}

void CRestartWaitDlg::StopWorker() {
  if (m_worker == nullptr) return;
  m_stop = true;
  HANDLE thread = m_worker->m_hThread;
  // The worker's bar messages are sent to this thread: handle them while
  // waiting, or the worker would wait for us as we wait for it.
  DWORD result = WAIT_OBJECT_0 + 1;
  while (result == WAIT_OBJECT_0 + 1) {
    result = ::MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_SENDMESSAGE);
    if (result == WAIT_OBJECT_0 + 1) HandleSentMessages();
  }
  // WAIT_FAILED says nothing about the worker: wait for it again with plain
  // short waits (still handling its sent messages), for at most a bound that
  // covers its longest step.
  if (result == WAIT_FAILED) {
    result = WAIT_TIMEOUT;
    for (unsigned waited = 0; result == WAIT_TIMEOUT && waited < kStopBoundMs; waited += kStopPollMs) {
      result = ::WaitForSingleObject(thread, kStopPollMs);
      HandleSentMessages();
    }
  }
  // Only a worker known to have ended is let go. Otherwise the object, and
  // with it the open handle, is kept, so that the destructor waits again
  // rather than dropping a thread that may still touch the window.
  if (result != WAIT_OBJECT_0) return;
  delete m_worker;
  m_worker = nullptr;
}

void CRestartWaitDlg::HandleSentMessages() {
  MSG msg;
  ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}

LRESULT CRestartWaitDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      if (wParam == kCloseTimer) {
        StopWorker();
        CDialog::OnCancel();
        KillTimer(kCloseTimer);
        return 0;
      }
      break;
    case WM_DESTROY:
      // However the window ends, the worker is done before the bar goes.
      StopWorker();
      break;
    default:
      break;
  }
  return CSkinDialog::WindowProc(message, wParam, lParam);
}

// AddonFlowState.AddonAborted is 0 when it returns.
void ShowRestartWait(CWnd* parent) {
  CRestartWaitDlg wait(parent);
  wait.DoModal();
}
