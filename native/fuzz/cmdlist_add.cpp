// Command definitions: each input line is one "id<TAB>definition<TAB>params" added to one
// list; whatever is accepted must be found again, hold a type the runner knows and prepare
// for a run without reading outside its texts.
#include <climits>

#include "cmd/cmd.h"
#include "fuzz_util.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::setup();
  std::string all(reinterpret_cast<const char*>(data), size);
  cmdlist l{};
  FUZZ_CHECK(cmdlist_init(&l) == 0);
  size_t b = 0;
  int n = 0;
  while (b <= all.size() && n < 64) {
    size_t e = all.find('\n', b);
    std::string line = all.substr(b, e == std::string::npos ? std::string::npos : e - b);
    b = e == std::string::npos ? all.size() + 1 : e + 1;
    size_t t1 = line.find('\t');
    std::string id = line.substr(0, t1), def, params;
    if (t1 != std::string::npos) {
      size_t t2 = line.find('\t', t1 + 1);
      def = line.substr(t1 + 1, t2 == std::string::npos ? std::string::npos : t2 - t1 - 1);
      if (t2 != std::string::npos) params = line.substr(t2 + 1);
    }
    unsigned before = cmdlist_count(&l);
    int err = -1;
    cmd* c = cmdlist_add(&l, id.c_str(), def.c_str(), params.empty() ? nullptr : params.c_str(), n++ - 8, &err);
    if (!c) {
      FUZZ_CHECK(err != 0);
      FUZZ_CHECK(cmdlist_count(&l) == before);
      continue;
    }
    FUZZ_CHECK(err == 0 && cmdlist_count(&l) == before + 1);
    FUZZ_CHECK(cmdlist_find(&l, id.c_str()) == c);
    FUZZ_CHECK(c->type == CMD_T_NONE || c->type == CMD_T_SHEXEC);
    FUZZ_CHECK(c->ncmdMax > 0);
    FUZZ_CHECK((c->mask & ~CMD_MASK_INVOKEIDLIST) == 0);
    FUZZ_CHECK(c->show >= 0 && c->show <= 15);
    cmd_exec ex;
    int run = -1;
    int pe = cmd_prepare(c, "f", nullptr, nullptr, &ex, &run);
    FUZZ_CHECK(pe == 0 && run == (c->type == CMD_T_SHEXEC));
    if (run) FUZZ_CHECK(ex.file && ex.show == c->show);
  }
  cmdlist_free(&l);
  return 0;
}
