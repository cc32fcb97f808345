// Text resource files: the input, cut at its first two form feeds, is the data loaded
// and two files "a" and "b" in a directory of the harness's own that it may include.
// The first byte picks the requested language and whether the data is handed over as
// it is (plain text, or a bzip2 or gzip image the input holds) or compressed here
// first, whole or cut short.
#include <bzlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include "txr/txr_load.h"
#include "fuzz_util.h"

namespace {

char own_dir[] = "/tmp/quarn-fuzz-txrl-XXXXXX";

void leave_own_dir() {
  for (const char* f : {"a", "b"}) unlink(f);
  if (chdir("/") == 0) rmdir(own_dir);
}

void enter_own_dir() {
  static bool done = false;
  if (done) return;
  done = true;
  FUZZ_CHECK(mkdtemp(own_dir) != nullptr);
  FUZZ_CHECK(chdir(own_dir) == 0);
  FUZZ_CHECK(freopen("/dev/null", "rb", stdin) != nullptr);  // an include of the terminal ends at once
  atexit(leave_own_dir);
}

void write_file(const char* name, const std::string& text) {
  FILE* f = fopen(name, "wb");
  FUZZ_CHECK(f != nullptr);
  fwrite(text.data(), 1, text.size(), f);
  fclose(f);
}

std::string bzip(const std::string& text) {
  std::vector<char> out(text.size() + text.size() / 100 + 1024);
  unsigned len = (unsigned)out.size();
  FUZZ_CHECK(BZ2_bzBuffToBuffCompress(out.data(), &len, const_cast<char*>(text.data()), (unsigned)text.size(), 1,
                                      0, 30) == BZ_OK);
  return std::string(out.data(), len);
}

constexpr const char* kLangs[] = {"en", "de", "de-CH", "zh-Hant-TW", "en-GB", "sl-rozaj", "es-419", "EN"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::setup({{"A", "a"}, {"EMPTY", ""}, {"LONG", "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx"}});
  enter_own_dir();
  uint8_t h = fuzz::head(data, size);
  std::string all(reinterpret_cast<const char*>(data), size);
  const bool asis = !(h & 0x80);
  std::string parts[3];
  size_t b = 0;
  for (int i = 0; i < 3; i++) {
    size_t e = i < 2 ? all.find('\f', b) : std::string::npos;
    parts[i] = all.substr(b, e == std::string::npos ? std::string::npos : e - b);
    if (e == std::string::npos) break;
    b = e + 1;
  }
  // no other directory is reachable from the texts written here
  for (std::string& p : parts) {
    if (&p == &parts[0] && asis) continue;  // an image as it is: opaque
    for (char& c : p)
      if (c == '/') c = '_';
  }
  write_file("a", parts[1]);
  write_file("b", parts[2]);
  std::string in = parts[0];
  if (!asis) {
    in = bzip(in);
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
