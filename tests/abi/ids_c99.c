/* orxPropertyIds.h compiled as strict C99 (with the public header before
 * it): every constant gathered through ORX_PROPERTY_ID_LIST, with its name,
 * for the identifier tests to check against the library. */
#include <stddef.h>

#include "orxProperty.h"
#include "orxPropertyIds.h"

size_t orx_ids_from_c99(const uint32_t** ids, const char* const** names);

#define ORX_TEST_ID_VALUE(name) name,
#define ORX_TEST_ID_NAME(name) #name,
static const uint32_t kIds[] = {ORX_PROPERTY_ID_LIST(ORX_TEST_ID_VALUE)};
static const char* const kNames[] = {ORX_PROPERTY_ID_LIST(ORX_TEST_ID_NAME)};

/* Refuses to compile when the count macro disagrees with the list. */
typedef char orx_count_matches_list[sizeof kIds / sizeof kIds[0] == ORX_PROPERTY_ID_COUNT ? 1 : -1];

size_t orx_ids_from_c99(const uint32_t** ids, const char* const** names) {
  *ids = kIds;
  *names = kNames;
  return sizeof kIds / sizeof kIds[0];
}
