#include "core/error_log.h"

#include "base/cp1251.h"
#include "base/number_text.h"
#include "core/product.h"

namespace hx {

std::string FormatErrorRecord(const ErrorRecord& r) {
  const std::string stamp = ZeroPadded(r.when.hour, 2) + ":" + ZeroPadded(r.when.minute, 2) + ":" +
                            ZeroPadded(r.when.second, 2) + " [" + ZeroPadded(r.when.month, 2) + "/" +
                            ZeroPadded(r.when.day, 2) + "/" + ZeroPadded(r.when.year, 4) + "]";
  const auto orNa = [](const std::string& s) { return s.empty() ? std::string("n/a") : s; };
  std::string out;
  out += std::string(73, '=') + "\r\n";
  out += stamp + "\r\n";
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
