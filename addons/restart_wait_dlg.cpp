#include "restart_wait_dlg.h"

#include "addon_state.h"
#include "clock.h"
#include "dialog_skins.h"
#include "install_run.h"
#include "resource.h"

CRestartWaitDlg::CRestartWaitDlg(CWnd* pParent)
    : CSkinDialog(IDD_RESTART_WAIT, pParent, DialogSkinSettings(IDD_RESTART_WAIT)) {}

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
  SetTimer(kCloseTimer, TheClock().TimerPeriod(kRestartWaitMs));
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
  while (::MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
    MSG msg;
    ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
  delete m_worker;
  m_worker = nullptr;
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
