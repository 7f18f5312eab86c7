// Where results, refusals and notes go, and the escaping of file text for
// the terminal.
#include "output.h"

#include <cstdio>
#include <iostream>

#include "status_text.h"

namespace orx::cli {
namespace {

bool json_errors = false;

}  // namespace

void SetJsonErrors(bool json) { json_errors = json; }

int Refuse(const std::string& what, int32_t status, int exit_code) {
  if (json_errors) {
    PrintJson({{"error", {{"status", status}, {"name", StatusNameOf(status)}, {"message", what}}}});
  } else {
    std::cerr << "orxprop: " << Printable(what) << "\n";
  }
  return exit_code;
}

int RefuseStatus(const std::string& what, int32_t status) {
  return Refuse(what + ": " + FormatStatus(status), status);
}

void Note(const std::string& what) { std::cerr << "orxprop: note: " << Printable(what) << "\n"; }

void PrintJson(const Json& value) {
  std::cout << value.dump(2, ' ', false, Json::error_handler_t::replace) << "\n";
  std::cout.flush();
}

std::string Printable(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    char escape[8];
    if (byte == '\n') {
      out += "\\n";
    } else if (byte == '\t') {
      out += "\\t";
    } else if (byte == '\r') {
      out += "\\r";
    } else if (byte < 0x20 || byte == 0x7F) {
      std::snprintf(escape, sizeof escape, "\\x%02X", byte);
      out += escape;
    } else if (byte == 0xC2 && i + 1 < text.size() &&
               static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
               static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
      // U+0080 to U+009F, CSI (U+009B) among them.
      std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned char>(text[++i]));
      out += escape;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace orx::cli
