// libbzip2 built without stdio leaves its internal-error handler to the program. The
// handler stands alone in this file so that any loader's library may bring it once.
#ifdef _WIN32
#include <cstdlib>

#include "err/err.h"

extern "C" void bz_internal_error(int errcode) {
  // a broken invariant inside the library, never bad input: as fatal as an assertion
  ERR_LOG(ERR_CRIT, 9001, "bzip2 internal error [%d].", errcode);
  abort();
}
#endif
