// Argument words: quotes, escapes, continuations, ${NAME}, small word buffers, and a
// second split into the same record.
#include "c/arg.h"
#include "fuzz_util.h"

namespace {
constexpr const char* kDelims[] = {nullptr, ",", " \t,;", "\"'"};
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::setup({{"A", "x y"}, {"B", "${A}"}, {"EMPTY", ""}, {"Q", "\"q'"}, {"LONG", "0123456789abcdefghij"}});
  uint8_t h = fuzz::head(data, size);
  std::string text = fuzz::text(data, size);
  const unsigned flags = h & 3;
  const char* delims = kDelims[(h >> 2) & 3];
  const unsigned wsize = (h & 0x10) ? 1 + (h >> 5) * 3 : 0;  // 1..22 bytes, or the default

  arg a;
  arg_clear(&a);
  if (arg_init(&a, flags, delims, wsize, (h & 0x80) ? 1 : 0)) return 0;
  int rc = arg_split(&a, text.c_str());
  if (!rc) rc = arg_split_n(&a, text.c_str(), (unsigned)(text.size() / 2));
  (void)rc;
  FUZZ_CHECK(a.argc >= 0);
  FUZZ_CHECK(a.argc == 0 || a.argv);
  if (a.argv) {
    FUZZ_CHECK(a.argv[a.argc] == nullptr);
    for (int i = 0; i < a.argc; i++) {
      FUZZ_CHECK(a.argv[i] != nullptr);
      FUZZ_CHECK(strlen(a.argv[i]) < a.wsize);
    }
  }
  arg_free(&a);
  return 0;
}
