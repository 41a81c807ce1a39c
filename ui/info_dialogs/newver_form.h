// The new-version dialog TFormNewVerExists: tells the user that a newer
// version is out, with its number, date, changes and web page, as the
// update checker left them in Resource\CheckNVTrue.txt.
#pragma once

namespace hx::ui {

// Shows the dialog modally and returns when it has closed. "Ok" writes
// Resource\CheckTrue, so the notice is not shown again; "Напомнить при
// следующем запуске", Escape and the close button leave it for the next
// start.
void RunNewVersionDialog();

}  // namespace hx::ui
