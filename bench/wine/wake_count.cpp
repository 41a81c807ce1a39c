// wake_count: prints how many timer messages the running clock program has
// handled since it started, as the program itself counts them. Two readings
// a known time apart give its wake-ups per second (scripts/bench-idle-cpu.sh).
// Prints nothing and exits 1 when no clock program runs.
#include <windows.h>

#include <cstdio>

int main() {
  HWND window = FindWindowW(L"TFormHoravex", nullptr);
  if (!window) return 1;
  const UINT query = RegisterWindowMessageW(L"Horavex.KT.TimerWakeUps");
  DWORD_PTR count = 0;
  if (!SendMessageTimeoutW(window, query, 0, 0, SMTO_ABORTIFHUNG, 5000, &count)) return 1;
  std::printf("%lu\n", static_cast<unsigned long>(count));
  return 0;
}
