// The restart wait: the worker's 99 steps, the closing timer, the flag it
// leaves, and a worker that is still stepping when the timer fires.
#include <atomic>
#include <mutex>
#include <vector>

#include "addon_state.h"
#include "app_fixture.h"
#include "clock.h"
#include "resource.h"
#include "install_run.h"
#include "restart_wait_dlg.h"

namespace {

// A clock for two threads: the worker's pauses are counted (optionally
// taking a few real milliseconds each), and the closing timer's period is
// recorded and replaced by a short one.
class RestartClock : public Clock {
public:
  void Pause(int ms) override {
    {
      std::lock_guard<std::mutex> lock(mutex);
      pauses.push_back(ms);
    }
    if (realPauseMs > 0) ::Sleep(realPauseMs);
  }
  int64_t NowMs() override { return static_cast<int64_t>(::GetTickCount()); }
  unsigned TimerPeriod(unsigned ms) override {
    askedPeriods.push_back(ms);
    return timerMs;
  }
  size_t PauseCount() {
    std::lock_guard<std::mutex> lock(mutex);
    return pauses.size();
  }

  std::mutex mutex;
  std::vector<int> pauses;
  std::vector<unsigned> askedPeriods;
  DWORD realPauseMs = 0;
  unsigned timerMs = 300;
};

// Notes the bar when the window goes (its children still exist then).
class ObservedRestartWait : public CRestartWaitDlg {
public:
  int lower = -1, upper = -1, position = -1;
  bool closedByTimer = false;

protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_TIMER && wParam == kCloseTimer) closedByTimer = true;
    const LRESULT result = CRestartWaitDlg::WindowProc(message, wParam, lParam);
    if (message == WM_DESTROY) {
      progress.GetRange(lower, upper);
      position = progress.GetPos();
    }
    return result;
  }
};

class RestartWaitTest : public AppTest {
protected:
  void SetUp() override {
    AppTest::SetUp();
    SetClock(&restartClock);
    AddonFlowState.AddonAborted = -1;
  }
  void TearDown() override {
    SetClock(&clock);
    AppTest::TearDown();
  }
  RestartClock restartClock;
};

}  // namespace

TEST_F(RestartWaitTest, BarFillsInNinetyNineStepsAndTheNinetySecondTimerClosesTheWindow) {
  // Long enough for 99 bar messages across threads under Wine.
  restartClock.timerMs = 4000;
  ObservedRestartWait wait;
  const INT_PTR result = wait.DoModal();

  EXPECT_EQ(IDCANCEL, result);
  EXPECT_TRUE(wait.closedByTimer);
  EXPECT_EQ(std::vector<unsigned>{90000u}, restartClock.askedPeriods) << "the closing timer's period";
  EXPECT_EQ(std::vector<int>(99, 900), restartClock.pauses) << "99 steps, 900 ms apart";
  EXPECT_EQ(1, wait.lower);
  EXPECT_EQ(100, wait.upper);
  EXPECT_EQ(100, wait.position) << "the bar runs from 1 to 100";
  EXPECT_EQ(0, AddonFlowState.AddonAborted);
  EXPECT_TRUE(fwtest::UnexpectedDialogs().empty());
}

TEST_F(RestartWaitTest, EnterEscapeAndCloseCommandLeaveItOpen) {
  restartClock.timerMs = 1500;
  ObservedRestartWait wait;
  bool stillOpen = false;
  fwtest::PushModalAction([&](CDialog& d) {
    for (WPARAM command : {WPARAM(IDOK), WPARAM(IDCANCEL)})
      d.SendMessage(WM_COMMAND, MAKEWPARAM(command, BN_CLICKED), 0);
    d.SendMessage(WM_CLOSE);
    fwtest::PumpMessages(50);
    stillOpen = ::IsWindowVisible(d.m_hWnd) != FALSE;
  });
  wait.DoModal();
  EXPECT_TRUE(stillOpen);
  EXPECT_TRUE(wait.closedByTimer) << "only the timer closes the window";
  EXPECT_EQ(0, AddonFlowState.AddonAborted);
}

TEST_F(RestartWaitTest, WorkerStillSteppingAtTheTimerStopsBeforeTheWindowGoes) {
  // Each step takes real time, so the timer fires while the bar is filling.
  restartClock.realPauseMs = 20;
  restartClock.timerMs = 200;
  ShowRestartWait(nullptr);

  const size_t stepsAtClose = restartClock.PauseCount();
  EXPECT_LT(stepsAtClose, 99u) << "the timer came before the bar was full";
  ::Sleep(200);
  EXPECT_EQ(stepsAtClose, restartClock.PauseCount()) << "the worker went on after the window closed";
  EXPECT_EQ(0, AddonFlowState.AddonAborted);
}
