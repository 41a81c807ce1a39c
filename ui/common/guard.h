// Every handler runs inside a guard: a failure skips the handler's
// remaining steps and is reported with the handler's location code.
#pragma once
#include <exception>
#include <string>
#include <typeinfo>

#include "base/errors.h"

namespace hx::ui {

// Appends the failure to the error log and shows the error dialog; does
// nothing while the dialog is already open. Defined in error_form.cpp.
void ReportError(const std::string& code, const std::string& className, const std::string& dump);

// Shown when ReportError itself fails, as a plain message box.
void ShowUnreportedFailure(const char* what);

template <typename Handler>
void Guard(const char* code, Handler&& handler) {
  try {
    handler();
  } catch (const std::exception& e) {
    try {
      ReportError(code, ExceptionTypeName(typeid(e)), "");
    } catch (const std::exception& inner) {
      ShowUnreportedFailure(inner.what());
    }
  } catch (...) {
    try {
      ReportError(code, "UnknownException", "");
    } catch (const std::exception& inner) {
      ShowUnreportedFailure(inner.what());
    }
  }
}

}  // namespace hx::ui
