// Signal handlers that leave a line in the error log before the process ends.
#pragma once

// 9001 when any handler could not be installed (each failure is logged).
int sigh_install();
// Puts the same signals back to their default handling.
int sigh_restore();
