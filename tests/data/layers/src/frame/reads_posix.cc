// The frame reaches a platform through platform/ only.
#include "platform/posix/file_io.h"
#include "platform/profile_store.h"
