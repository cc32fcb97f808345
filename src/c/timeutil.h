// Local-time arithmetic on the C runtime.
#pragma once

#include <ctime>

// Broken-down local time to seconds since 1970, with the daylight-saving flag
// that holds on that date (written back into *tm). -1 with *code 9001 on failure.
time_t mktime_local(struct tm* tm, int* code);
