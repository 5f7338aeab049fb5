#include "platform/process.h"

void EndProcess(int status) { throw ProcessExit{status}; }
