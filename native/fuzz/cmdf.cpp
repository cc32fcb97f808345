// Command files: the input becomes up to three files ("m", the first, and "a", "b" it
// may include), written into a directory of the harness's own, then read command by
// command to the end.
#include <sys/stat.h>
#include <unistd.h>

#include "c/cmdfile.h"
#include "fuzz_util.h"

namespace {

char own_dir[] = "/tmp/quarn-fuzz-cmdf-XXXXXX";

void leave_own_dir() {
  for (const char* f : {"m", "a", "b"}) unlink(f);
  if (chdir("/") == 0) rmdir(own_dir);
}

void enter_own_dir() {
  static bool done = false;
  if (done) return;
  done = true;
  FUZZ_CHECK(mkdtemp(own_dir) != nullptr);
  FUZZ_CHECK(chdir(own_dir) == 0);
  atexit(leave_own_dir);
}

void write_file(const char* name, const std::string& text) {
  FILE* f = fopen(name, "wb");
  FUZZ_CHECK(f != nullptr);
  fwrite(text.data(), 1, text.size(), f);
  fclose(f);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::setup({{"INC", "a"}, {"B", "b"}, {"EMPTY", ""}});
  enter_own_dir();
  // the files: the input cut at the first two form feeds; no other directory is reachable
  std::string all(reinterpret_cast<const char*>(data), size);
  for (char& c : all)
    if (c == '/') c = '_';
  std::string parts[3];
  size_t b = 0;
  for (int i = 0; i < 3; i++) {
    size_t e = i < 2 ? all.find('\f', b) : std::string::npos;
    parts[i] = all.substr(b, e == std::string::npos ? std::string::npos : e - b);
    if (e == std::string::npos) break;
    b = e + 1;
  }
  write_file("m", parts[0]);
  write_file("a", parts[1]);
  write_file("b", parts[2]);

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
