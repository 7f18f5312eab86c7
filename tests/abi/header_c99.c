/* The public header must compile as strict C99 on its own. */
#include "orxProperty.h"

int orx_header_compiles_as_c99(void);
int orx_header_compiles_as_c99(void) { return (int)sizeof(orxChar); }
