// How the file layer treats a file that another program holds open without
// sharing for a moment (an indexer, a backup or a sync tool): it tries again
// after short pauses that grow, for about two seconds in all, so that a file
// held briefly is simply read or written.
#pragma once

namespace hx::files {

// The pauses of one operation add up to this at most.
inline constexpr int kHeldFileRetryMs = 2000;

// The pause before the next try, once `waitedMs` have gone by in pauses: 10 ms,
// then twice the one before, the last one cut to what is left; 0 when the
// time is up.
constexpr int NextHeldFilePause(int waitedMs) {
  if (waitedMs >= kHeldFileRetryMs) return 0;
  int pause = 10;
  for (int sum = 0; sum + pause <= waitedMs; pause *= 2) sum += pause;
  return pause < kHeldFileRetryMs - waitedMs ? pause : kHeldFileRetryMs - waitedMs;
}

enum class TryResult {
  Done,    // the operation succeeded
  Held,    // another program holds the file: worth another try
  Failed,  // refused for another reason: trying again changes nothing
};

// Runs `attempt` (returning TryResult) until it is done, fails for another
// reason than a hold, or the pauses are used up; `pause(ms)` waits. True
// when the operation was done.
template <class Attempt, class Pause>
bool RetryWhileHeld(Attempt&& attempt, Pause&& pause) {
  int waited = 0;
  for (;;) {
    const TryResult result = attempt();
    if (result != TryResult::Held) return result == TryResult::Done;
    const int next = NextHeldFilePause(waited);
    if (next == 0) return false;
    pause(next);
    waited += next;
  }
}

}  // namespace hx::files
