// $(NAME) macros: nested values, values naming themselves, names too long, buffers too
// small. The buffer stays terminated within its size whatever the outcome.
#include "c/strmacro.h"
#include "fuzz_util.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::setup({{"A", "alpha"}, {"B", "$(A)-$(A)"}, {"C", "$(B)$(B)$(B)"}, {"SELF", "x$(SELF)"},
               {"P", "$(Q)"}, {"Q", "$(P)"}, {"EMPTY", ""}, {"OPEN", "$("}, {"D", "$(C)$(C)$(C)$(C)"}});
  uint8_t h = fuzz::head(data, size);
  std::string text = fuzz::text(data, size);
  const unsigned strsize = (unsigned)text.size() + 1 + (h & 0x7F) * ((h & 0x80) ? 8 : 1);
  std::vector<char> buf(strsize);
  memcpy(buf.data(), text.c_str(), text.size() + 1);
  int rc = strmacro_expand(buf.data(), strsize);
  FUZZ_CHECK(rc == 0 || rc == 9001 || rc == 9005 || rc == 9009);
  FUZZ_CHECK(fuzz::terminated(buf.data(), strsize));
  if (rc == 0 && text.find("$(") == std::string::npos) FUZZ_CHECK(text == buf.data());
  return 0;
}
