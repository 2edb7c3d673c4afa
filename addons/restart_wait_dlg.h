// The restart wait (dialog 141) shown after a successful add-on install: a
// progress bar that a worker thread fills in 99 steps of 900 ms while the
// device restarts, and a 90 s window timer that closes the window.
#pragma once
#include <atomic>

#include "framework.h"
#include "skin_dialog.h"
#include "skin_progress.h"

class CRestartWaitDlg : public CSkinDialog {
public:
  explicit CRestartWaitDlg(CWnd* pParent = nullptr);
  ~CRestartWaitDlg() override;

  // Starts the worker on the progress bar and the closing timer.
  BOOL OnInitDialog() override;
  // No buttons: Enter, Esc and the window's close command do nothing; only
  // the timer closes the window.
  void OnOK() override {}
  void OnCancel() override {}

  static constexpr UINT_PTR kCloseTimer = 1;
  // The closing timer fires after this long (through the clock's timer period).
  static constexpr unsigned kRestartWaitMs = 90000;
  // The bar runs from 1 to 100 in kSteps steps, kStepMs apart.
  static constexpr int kSteps = 99;
  static constexpr int kStepMs = 900;

  CSkinProgressCtrl progress;

protected:
  void DoDataExchange(CDataExchange* pDX) override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
  static UINT __cdecl Worker(LPVOID param);
  // Tells the worker to stop stepping and waits for it to end, still
  // handling the bar messages it sends meanwhile. Afterwards nothing touches
  // the window from the worker.
  // When the wait itself fails, it waits again in kStopPollMs waits for at
  // most kStopBoundMs; a worker not seen to end is kept (StopWorker returns
  // with m_worker set, and the destructor tries again).
  void StopWorker();
  // Handles the messages other threads have sent to this one (the worker's
  // bar messages), without taking posted ones from the queue.
  static void HandleSentMessages();
  static constexpr unsigned kStopPollMs = 50;
  static constexpr unsigned kStopBoundMs = 10 * kStepMs;

  CWinThread* m_worker = nullptr;
  std::atomic<bool> m_stop{false};
};
