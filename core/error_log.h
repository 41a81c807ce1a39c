// The error log's records: nine lines per failure, appended to
// ErrorLog\Debug.Log.
#pragma once
#include <string>

#include "base/datetime.h"

namespace hx {

struct ErrorRecord {
  DateTime when;
  std::string winVersion;
  std::string user;      // empty when the system gave none
  std::string computer;  // empty when the system gave none
  std::string code;      // location code, such as "1.001 - 014.0"
  std::string type;      // the failure's class name
  std::string dump;
};

// The record's nine lines, each ended by CR LF.
std::string FormatErrorRecord(const ErrorRecord& record);

// The error dialog's code line: "Внутренний код ошибки: 1.001 - 012.0[Type]".
std::string ErrorCodeCaption(const std::string& code, const std::string& type);

}  // namespace hx
