// The console's command line: words split from a text as QUARN's are, the settings read
// through the console's configuration items, the lookups, and the joined expression parsed.
#include "c/cmdparser.h"
#include "ds/list.h"
#include "ex/ex.h"
#include "fuzz_util.h"
#include "quarn/qnex.h"
#include "quarn/qnexparser.h"
#include "quarn/quarncfg.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::setup({{"A", "-name:*.c"}, {"HOME", "C:\\Users\\u"}});
  uint8_t h = fuzz::head(data, size);
  std::string text = fuzz::text(data, size);
  const unsigned word_flags = h & 3;
  const char sep = (h & 4) ? '=' : 0;

  cmdp cp;
  cmdp_clear(&cp);
  if (cmdp_init_ex(&cp, 0, sep, (h & 8) ? 1 : 0)) return 0;
  const char* argv0[] = {"quarn"};
  cmdp_parse_argv(&cp, 1, argv0);
  cmdp_parse_str(&cp, text.c_str(), word_flags, (h & 0x10) ? " ," : nullptr);
  if (h & 0x20) cmdp_parse_str(&cp, "-- -x", word_flags, nullptr);  // a second text after the end of options

  FUZZ_CHECK(cp.nargs <= cp.capacity);
  for (unsigned i = 0; i < cp.nargs; i++) {
    char buf[64];
    const char* s = cmdp_op_str(&cp, (int)i, 0, buf, sizeof buf);
    FUZZ_CHECK(s == buf && fuzz::terminated(buf, sizeof buf));
  }
  int idx = -1;
  (void)cmdp_get_op(&cp, "name|iname", &idx);
  FUZZ_CHECK(idx >= 0 && (unsigned)idx <= cp.nargs);
  (void)cmdp_last_op(&cp, "lang");
  (void)cmdp_has(&cp, "ignorecase");
  for (idx = -1; cmdp_next_arg(&cp, &idx);) FUZZ_CHECK((unsigned)idx < cp.nargs);
  (void)cmdp_nth_arg(&cp, 1);

  quarncfg cfg;
  quarncfg_init(&cfg);
  if (quarncfg_load(&cfg, &cp) == 0 && cfg.expr) {
    qnexp q;
    qnexparser_clear(&q);
    ex e;
    ex_clear(&e);
    if (ex_init(&e, qnex_free) == 0)
      mox_qnexparser_parse(&q, &e, cfg.expr, cfg.ignorecase, 1, cfg.tfmts, 1721053230L, 0);
    ex_free(&e);
    qnexparser_free(&q);
  }
  quarncfg_free(&cfg);
  cmdp_free(&cp);
  return 0;
}
