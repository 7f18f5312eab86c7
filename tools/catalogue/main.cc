// orx-catalogue: prints every entry of the built-in property catalogue as
// one aligned text table (identifier, class, file, section, key, default),
// straight from the compiled tables, so what a reviewer reads is what the
// library resolves. Defaults are quoted so an empty one stays visible.
#include <algorithm>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "base/utf.h"
#include "catalogue/property_id.h"

namespace {

using Row = std::vector<std::string>;

std::string Utf8(const char16_t* text) {
  // The tables are constant text with no lone surrogates, so this never
  // falls back; the marker only guards against a broken edit of the data.
  return orx::EncodeUtf8(text).value_or("<not UTF-16>");
}

std::string Hex(orx::catalogue::PropertyId id) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%X", id);
  return text;
}

std::vector<Row> CatalogueRows() {
  std::vector<Row> rows = {{"identifier", "class", "file", "section", "key", "default"}};
  for (const orx::catalogue::PropertyClassInfo& info : orx::catalogue::PropertyClasses()) {
    const size_t count = orx::catalogue::CountEntries(info.table);
    for (size_t index = 0; index < count; ++index) {
      const orx::catalogue::PropertyEntry& entry = info.table[index];
      rows.push_back({Hex(info.value + static_cast<uint32_t>(index)), info.name, Utf8(entry.file),
                      Utf8(entry.section), Utf8(entry.key),
                      "\"" + Utf8(entry.default_value) + "\""});
    }
  }
  return rows;
}

void PrintAligned(const std::vector<Row>& rows, std::ostream& out) {
  std::vector<size_t> widths(rows.front().size(), 0);
  for (const Row& row : rows) {
    for (size_t column = 0; column < row.size(); ++column) {
      widths[column] = std::max(widths[column], row[column].size());
    }
  }
  for (const Row& row : rows) {
    std::string line;
    for (size_t column = 0; column < row.size(); ++column) {
      line += row[column];
      // The last column is not padded, so no line ends in spaces.
      if (column + 1 < row.size()) line.append(widths[column] - row[column].size() + 2, ' ');
    }
    out << line << '\n';
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1) {
    std::cerr << "usage: " << argv[0] << "\n"
              << "Prints every property identifier with its class, file, section, key and "
                 "default.\n";
    return 2;
  }
  PrintAligned(CatalogueRows(), std::cout);
  std::cout.flush();
  // A full disk or a closed pipe must not pass for a complete listing.
  return std::cout.good() ? 0 : 1;
}
