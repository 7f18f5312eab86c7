/* A C program built against the installed package through pkg-config. */
#include <orxProperty.h>
#include <orxPropertyIds.h>
#include <stdio.h>

int main(void) {
  int32_t period = 0;
  orxPropertyInitLibrary();
  if (orxSetPropertyInt(ORX_GENERAL_UPDATE_PERIOD, 120) != ORX_STATUS_SUCCESS) return 1;
  if (orxGetPropertyInt(ORX_GENERAL_UPDATE_PERIOD, &period) != ORX_STATUS_SUCCESS) return 2;
  printf("UpdatePeriod=%d\n", (int)period);
  return period == 120 ? 0 : 3;
}
