// The tool may include the listed internals only.
#include "platform/ini/document.h"
#include "platform/ini/line.h"
#include "public.h"
