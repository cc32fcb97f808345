// Escaping and unescaping into buffers of every size; what is escaped whole comes back
// unchanged.
#include "c/str.h"
#include "fuzz_util.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::setup();
  uint8_t h = fuzz::head(data, size);
  std::string text = fuzz::text(data, size);
  const unsigned small = 1 + h % 24;

  std::vector<char> a(small), b(small);
  int rc = mox_str_escape(a.data(), small, text.c_str());
  FUZZ_CHECK(rc == 0 || rc == 9005);
  FUZZ_CHECK(fuzz::terminated(a.data(), small));
  rc = mox_str_unescape(b.data(), small, text.c_str());
  FUZZ_CHECK(rc == 0 || rc == 9005);
  FUZZ_CHECK(fuzz::terminated(b.data(), small));

  // escaping at most doubles a text
  const unsigned big = (unsigned)text.size() * 2 + 1;
  std::vector<char> esc(big), back(big);
  FUZZ_CHECK(mox_str_escape(esc.data(), big, text.c_str()) == 0);
  FUZZ_CHECK(mox_str_unescape(back.data(), big, esc.data()) == 0);
  FUZZ_CHECK(text == back.data());
  return 0;
}
