// Every include here is one the access layer may make.
#include "access/property_value.h"
#include "base/status.h"
#include "catalogue/property_id.h"
#include "frame/profile.h"
#include "local.h"
#include "public.h"
