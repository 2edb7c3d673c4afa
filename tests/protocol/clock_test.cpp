// The real clock: its pauses last at least as asked and its time moves
// forward with them (on Windows: Sleep and the performance counter).
#include <gtest/gtest.h>

#include "clock.h"

namespace {

TEST(RealClock, PauseLastsAsAskedAndTimeFollows) {
  SetClock(nullptr);
  for (int ms : {0, 1, 40}) {
    const int64_t before = ActiveClock().NowMs();
    ActiveClock().Pause(ms);
    const int64_t elapsed = ActiveClock().NowMs() - before;
    // One millisecond of slack for where the counter stood at the start.
    EXPECT_GE(elapsed, ms - 1) << "Pause(" << ms << "): expected at least " << ms - 1 << " ms, got " << elapsed;
    EXPECT_LT(elapsed, ms + 2000) << "Pause(" << ms << "): expected well under " << ms + 2000 << " ms, got "
                                  << elapsed;
  }
  const int64_t first = ActiveClock().NowMs();
  EXPECT_GE(ActiveClock().NowMs(), first) << "expected time never to run backwards";
  ActiveClock().Pause(-5);  // a negative pause returns at once
}

}  // namespace
