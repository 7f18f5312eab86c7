/* Calls exports from C, through the shared library. Returns 0 when every
 * check holds, else the number of the first failed check. */
#include "orxProperty.h"

int orx_c_smoke(void);

int orx_c_smoke(void) {
  if (orxPropertyInitLibrary() != ORX_STATUS_SUCCESS) return 1;
  if (orxPropertyFreeLibrary() != ORX_STATUS_SUCCESS) return 2;
  return 0;
}
