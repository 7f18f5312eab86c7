/* orx_import_caller: a C caller linked against the import library, as a
 * Windows program built against orxProperty.h would be. On 32-bit Windows it
 * references the __stdcall-decorated names, which the import library maps to
 * the DLL's plain exports. Exits 0 when the calls answer as documented. */
#include "orxProperty.h"

int main(void) {
  orxChar answer[6];
  if (orxPropertyInitLibrary() != ORX_STATUS_SUCCESS) return 1;
  if (orxFindTaskByName(NULL, answer, 6) != ORX_STATUS_SUCCESS) return 2;
  if (answer[0] != L'6' || answer[3] != L'6' || answer[4] != 0) return 3;
  if (orxGetProperty(0x10013u, NULL, 10) != ORX_STATUS_INVALID_PARAMETER) return 4;
  return orxPropertyFreeLibrary() == ORX_STATUS_SUCCESS ? 0 : 5;
}
