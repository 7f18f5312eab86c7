// The checked JSON parse: a first pass with the parser's event interface,
// which keeps no recursion of its own, then the document itself.
#include "json_input.h"

namespace orx::cli {
namespace {

class Screen : public nlohmann::json_sax<Json> {
 public:
  std::string error;

  bool null() override { return true; }
  bool boolean(bool) override { return true; }
  bool number_integer(number_integer_t) override { return true; }
  bool number_unsigned(number_unsigned_t) override { return true; }
  bool number_float(number_float_t, const string_t&) override { return true; }
  bool string(string_t& value) override { return Text(value); }
  bool binary(binary_t&) override { return true; }
  bool key(string_t& value) override { return Text(value); }
  bool start_object(std::size_t) override { return Enter(); }
  bool end_object() override { return Leave(); }
  bool start_array(std::size_t) override { return Enter(); }
  bool end_array() override { return Leave(); }
  bool parse_error(std::size_t, const std::string&,
                   const nlohmann::detail::exception& ex) override {
    error = std::string("not valid JSON: ") + ex.what();
    return false;
  }

 private:
  bool Enter() {
    if (++depth_ <= kMaxJsonDepth) return true;
    error = "the JSON is nested deeper than " + std::to_string(kMaxJsonDepth) + " levels";
    return false;
  }
  bool Leave() {
    --depth_;
    return true;
  }
  bool Text(const string_t& value) {
    if (value.find('\0') == string_t::npos) return true;
    error = "a JSON string holds a NUL character (\\u0000), which no setting can hold";
    return false;
  }

  size_t depth_ = 0;
};

}  // namespace

std::optional<Json> ParseJsonInput(const std::string& text, std::string& error) {
  Screen screen;
  if (!Json::sax_parse(text, &screen) || !screen.error.empty()) {
    error = screen.error.empty() ? "not valid JSON" : screen.error;
    return std::nullopt;
  }
  return Json::parse(text);
}

}  // namespace orx::cli
