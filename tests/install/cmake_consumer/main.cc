// A C++ program built against the installed package through find_package.
#include <orxProperty.h>

#include <cstdio>
#include <string>

int main() {
  orxPropertyInitLibrary();
  char16_t port[16];
  if (orxGetProperty(0x10000, port, 16) != ORX_STATUS_SUCCESS) return 1;
  if (std::u16string(port) != u"25") return 2;
  char16_t id[39];
  uint32_t length = 39;
  if (orxCreateTask(id, &length) != ORX_STATUS_SUCCESS || length != 38) return 3;
  std::puts("SMTPPort=25, one task created");
  return 0;
}
