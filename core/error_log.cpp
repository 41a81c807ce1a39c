#include "core/error_log.h"

#include <cstdio>

#include "base/cp1251.h"
#include "core/product.h"

namespace hx {

std::string FormatErrorRecord(const ErrorRecord& r) {
  char stamp[64];
  std::snprintf(stamp, sizeof stamp, "%02d:%02d:%02d [%02d/%02d/%04d]", r.when.hour, r.when.minute, r.when.second,
                r.when.month, r.when.day, r.when.year);
  const auto orNa = [](const std::string& s) { return s.empty() ? std::string("n/a") : s; };
  std::string out;
  out += std::string(73, '=') + "\r\n";
  out += std::string(stamp) + "\r\n";
  out += std::string("Program = ") + product::kNameAndVersion + "\r\n";
  out += "WinVersion = " + orNa(r.winVersion) + "\r\n";
  out += "User = " + orNa(r.user) + "\r\n";
  out += "PC = " + orNa(std::string(Utf8Prefix(r.computer, 15))) + "\r\n";
  out += "Adress = " + r.code + "\r\n";
  out += "Type = " + r.type + "\r\n";
  out += "Dump = \"" + r.dump + "\"\r\n";
  return out;
}

std::string ErrorCodeCaption(const std::string& code, const std::string& type) {
  return "Внутренний код ошибки: " + code + "[" + type + "]";
}

}  // namespace hx
