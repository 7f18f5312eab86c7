// orx-ids-header: writes orxPropertyIds.h from the compiled catalogue, so the
// constants C and C++ callers use come from the one table the library
// resolves. Refuses to write anything when two identifiers would get one
// name.
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "macro_names.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: " << argv[0] << " OUTPUT.h\n"
              << "Writes the named constants of every property identifier.\n";
    return 2;
  }
  std::vector<std::string> clashes;
  const std::vector<orx::ids::NamedId> ids = orx::ids::NameIds(orx::ids::CatalogueRows(), clashes);
  for (const std::string& clash : clashes) std::cerr << argv[0] << ": " << clash << "\n";
  if (!clashes.empty()) return 1;
  std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
  out << orx::ids::IdsHeader(ids);
  out.close();
  // A partial header must not pass for a complete one.
  if (!out) {
    std::cerr << argv[0] << ": cannot write " << argv[1] << "\n";
    return 1;
  }
  return 0;
}
