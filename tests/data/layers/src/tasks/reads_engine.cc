// Nothing above the frame includes platform/.
#include "platform/ini/document.h"
