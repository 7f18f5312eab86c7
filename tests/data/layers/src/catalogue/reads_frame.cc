// The catalogue is pure data.
#include "base/status.h"
#include "frame/profile.h"
