// Loader traces in a page: a page has no environment to turn them on with, so they stay off.
#include "platform/log.h"

void LogDebug(const char*, ...) {}
