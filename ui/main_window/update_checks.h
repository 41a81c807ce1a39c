// The update check as the program runs it: it starts the separate checker
// when a check is due, polls for its result every second and shows the
// new-version dialog. Whoever shows the check's state subscribes while it
// is open (the settings dialog does).
#pragma once
#include <string>

namespace hx::ui {

// Told of the check's state: the status line, and whether a new check may
// be asked for ("Проверить сейчас").
class UpdateCheckListener {
 public:
  virtual ~UpdateCheckListener() = default;
  virtual void UpdateStatusChanged(const std::string& text) = 0;
  virtual void CheckNowAllowed(bool allowed) = 0;
};

// The one listener, or nullptr for none.
void ListenToUpdateCheck(UpdateCheckListener* listener);

// StartUpdateCheck runs at most once until ResetUpdateCheck clears its
// latches; UpdateCheckRunning is true while the program waits for the
// checker's result. PollUpdateCheck reads the checker's marker files.
void StartUpdateCheck();
void ResetUpdateCheck();
bool UpdateCheckRunning();
void PollUpdateCheck();

}  // namespace hx::ui
