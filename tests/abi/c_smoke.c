/* Calls exports from C, through the shared library. Returns 0 when every
 * check holds, else the number of the first failed check. The caller has
 * pointed the data folder at an empty temporary folder. */
#include <string.h>

#include "orxProperty.h"

int orx_c_smoke(void);

int orx_c_smoke(void) {
  orxChar id[39];
  orxChar listed[39];
  orxChar key[8];
  orxChar answer[6];
  static const orxChar kAnswer[6] = {'6', '6', '6', '6', 0, 0};
  uint32_t length = 39;
  orxQuery query = NULL;

  if (orxPropertyInitLibrary() != ORX_STATUS_SUCCESS) return 1;
  if (orxCreateTask(id, &length) != ORX_STATUS_SUCCESS || length != 38) return 2;
  if (orxGetFirstTask(&query, listed, 39, key, 8) != ORX_STATUS_SUCCESS) return 3;
  if (memcmp(listed, id, sizeof id) != 0 || key[0] != 'T' || key[4] != '1') return 4;
  if (orxGetNextTask(query, 0) != ORX_STATUS_NO_MORE_ITEMS || listed[0] != 0) return 5;
  if (orxCloseQuery(query) != ORX_STATUS_SUCCESS) return 6;
  if (orxCloseQuery(query) != ORX_STATUS_INVALID_PARAMETER) return 7;
  if (orxFindTaskByName(NULL, answer, 6) != ORX_STATUS_SUCCESS) return 8;
  if (memcmp(answer, kAnswer, sizeof answer) != 0) return 9;
  if (orxShrinkTasks(0) != ORX_STATUS_SUCCESS) return 10;
  if (orxPropertyFreeLibrary() != ORX_STATUS_SUCCESS) return 11;
  return 0;
}
