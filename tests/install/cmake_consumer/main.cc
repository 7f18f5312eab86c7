// A C++17 program built against the installed package through find_package,
// using the header-only wrapper and the named identifiers.
#include <orxProperty.hpp>

#include <cstdio>
#include <string>

namespace op = orx::property;

int main() {
  static_assert(ORX_PROPERTY_VERSION_MAJOR == 1, "the installed header's version");
  op::InitLibrary();
  const op::Result<std::string> port = op::Get(ORX_GENERAL_SMTP_PORT);
  if (!port || *port != "25") return 1;
  const op::Result<std::string> id = op::CreateTask();
  if (!id || id->size() != 38) return 2;
  if (!op::SetTask(*id, ORX_TASK_LABEL, "Quick scan")) return 3;
  int listed = 0;
  for (const op::TaskSlot& slot : op::Tasks()) listed += slot.id_utf8() == *id;
  if (listed != 1) return 4;
  std::puts("SMTPPort=25, one task created and listed");
  return 0;
}
