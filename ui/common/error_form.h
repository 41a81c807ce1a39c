// The error dialog TFormError and the error log behind it.
#pragma once

namespace hx::ui {

// True from the dialog's creation until it closes; failures meanwhile are
// dropped.
bool ErrorDialogOpen();

void RegisterErrorFormClass(void* instance);

}  // namespace hx::ui
