// The engine is below the store.
#include "platform/profile_store.h"
