// Text resource files: the input, cut at its first two form feeds, is the data loaded
// and two files "a" and "b" in a directory of the harness's own that it may include.
// The first byte picks the requested language and whether the data is handed over as
// it is (plain text, or a bzip2 or gzip image the input holds) or compressed here
// first, whole or cut short.
#include "txr/txr_load.h"
#include "fuzz_util.h"

namespace {

constexpr const char* kLangs[] = {"en", "de", "de-CH", "zh-Hant-TW", "en-GB", "sl-rozaj", "es-419", "EN"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::setup({{"A", "a"}, {"EMPTY", ""}, {"LONG", "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx"}});
  if (fuzz::enter_own_dir("txrl", {"a", "b"}))
    FUZZ_CHECK(freopen("/dev/null", "rb", stdin) != nullptr);  // an include of the terminal ends at once
  uint8_t h = fuzz::head(data, size);
  std::string all(reinterpret_cast<const char*>(data), size);
  const bool asis = !(h & 0x80);
  std::array<std::string, 3> parts = fuzz::ff_parts(all);
  if (!asis) fuzz::no_slash(parts[0]);  // an image as it is: opaque
  fuzz::no_slash(parts[1]);
  fuzz::no_slash(parts[2]);
  fuzz::write_file("a", parts[1]);
  fuzz::write_file("b", parts[2]);
  std::string in = parts[0];
  if (!asis) {
    in = fuzz::bzip(in);
    if (h & 0x40) in.resize(in.size() * ((h >> 3) & 7) / 8);
  }

  txr tx;
  txr_clear(&tx);
  FUZZ_CHECK(txr_init(&tx, kLangs[h & 7]) == 0);
  static txrl tl;
  int rc = txrl_load_data(&tl, &tx, in.data(), (unsigned)in.size());
  FUZZ_CHECK(rc == tl.err);
  FUZZ_CHECK(!rc == !tl.errmsg[0]);
  FUZZ_CHECK(fuzz::terminated(tl.errmsg, sizeof tl.errmsg));
  FUZZ_CHECK(tl.depth == 0);
  FUZZ_CHECK(strcmp(tx.clang, "en") == 0);  // every input's language given back
  txr_free(&tx);
  return 0;
}
