// Sleeping in a page: its one thread must never wait. The browser paces the frames, and the
// audio callback and the page's events run only between them, so SleepMs returns at once.
#include "platform/process.h"

void SleepMs(int) {}
