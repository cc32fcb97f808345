// Command files: the input becomes up to three files ("m", the first, and "a", "b" it
// may include), written into a directory of the harness's own, then read command by
// command to the end.
#include "c/cmdfile.h"
#include "fuzz_util.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::setup({{"INC", "a"}, {"B", "b"}, {"EMPTY", ""}});
  fuzz::enter_own_dir("cmdf", {"m", "a", "b"});
  // the files: the input cut at the first two form feeds; no other directory is reachable
  std::string all(reinterpret_cast<const char*>(data), size);
  fuzz::no_slash(all);
  std::array<std::string, 3> parts = fuzz::ff_parts(all);
  fuzz::write_file("m", parts[0]);
  fuzz::write_file("a", parts[1]);
  fuzz::write_file("b", parts[2]);

  cmdf cf;
  cmdf_clear(&cf);
  if (cmdf_init(&cf, "m") == 0) {
    int code = 0;
    const char* c = "";
    // files that include each other many times multiply the commands: stop at a bound
    for (int i = 0; i < 20000 && (c = cmdf_next(&cf, &code)) != nullptr; i++) FUZZ_CHECK(code == 0);
    if (!c) FUZZ_CHECK(code != 0);
  }
  cmdf_free(&cf);
  return 0;
}
