// Digit grouping: user formats, separators and decimal marks, the locale's grouping list
// and its conversion, numbers of any text. Outputs stay in their buffers and terminated;
// a converted grouping always compiles; grouping plain digits only inserts separators.
#include <algorithm>
#include <string>
#include <vector>

#include "fio/dgrp.h"
#include "fuzz_util.h"
#include "syscfg/syscfg.h"

namespace {

void put(char** field, const std::string& s) {
  free(*field);
  *field = strdup(s.c_str());
}

bool only_directives(const char* f) {
  for (; *f; f += 2) {
    if (f[0] != '%' || !(f[1] == '*' || f[1] == 'S' || (f[1] >= '1' && f[1] <= '9'))) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::setup();
  const uint8_t h = fuzz::head(data, size);
  std::vector<std::string> l = fuzz::lines(fuzz::text(data, size));
  l.resize(6);
  const std::string &fmt = l[0], &sep = l[1], &mark = l[2], &num = l[3], &grouping = l[4], &point = l[5];

  char dfmt[DGRP_DFMT_SIZE];
  int rc = dgrp_compile(fmt.c_str(), sep.c_str(), dfmt);
  FUZZ_CHECK(rc == 0 || rc == 9003 || rc == 9009);

  syscfg sc;
  FUZZ_CHECK(syscfg_init(&sc) == 0);
  const unsigned convsize = 1 + (h & 0x80 ? 16 : 200);
  std::vector<char> conv(convsize);
  rc = syscfg_dgrpfmt(grouping.c_str(), conv.data(), convsize);
  FUZZ_CHECK(rc == 0 || rc == 9005 || rc == 9009 || rc == 9013);
  FUZZ_CHECK(fuzz::terminated(conv.data(), convsize));
  if (rc) FUZZ_CHECK(conv[0] == 0);
  if (rc == 0) {
    FUZZ_CHECK(only_directives(conv.data()));
    int crc = dgrp_compile(conv.data(), sep.c_str(), dfmt);
    FUZZ_CHECK(crc == 0 || crc == 9009);
    put(&sc.dgrp_fmt, conv.data());
  } else {
    put(&sc.dgrp_fmt, fmt);
  }
  put(&sc.dgrp_grpsep, sep);
  if (!point.empty()) put(&sc.lc_decpoint, point);

  dgrp dg;
  rc = dgrp_init(&dg, &sc);
  FUZZ_CHECK(rc == 0 || rc == 9003 || rc == 9009);
  rc = dgrp_set_usr(&dg, &sc, fmt.c_str(), sep.c_str(), mark.c_str());
  FUZZ_CHECK(rc == 0 || rc == 9003 || rc == 9009);

  const unsigned style = h & 3, flags = (h >> 2) & 1;
  const unsigned outsize = 1 + ((h >> 3) & 0xF) * 24;
  std::vector<char> out(outsize);
  rc = dgrp_fmt(&dg, num.c_str(), style, flags, &sc, out.data(), outsize);
  FUZZ_CHECK(rc == 0 || rc == 9005);
  FUZZ_CHECK(fuzz::terminated(out.data(), outsize));
  if (rc) FUZZ_CHECK(num.compare(0, strlen(out.data()), out.data()) == 0);

  // plain digits in an SI style: removing the blanks gives them back
  const bool digits = !num.empty() && num.find_first_not_of("0123456789") == std::string::npos;
  if (digits && point.empty()) {
    std::vector<char> big(DGRP_ISTR_SIZE);
    rc = dgrp_fmt(&dg, num.c_str(), DGRP_SI_EN, 0, &sc, big.data(), DGRP_ISTR_SIZE);
    if (rc == 0) {
      std::string g = big.data();
      g.erase(std::remove(g.begin(), g.end(), ' '), g.end());
      FUZZ_CHECK(g == num);
      FUZZ_CHECK(big[0] != ' ');
    } else {
      FUZZ_CHECK(rc == 9005 && num.size() > 192);
    }
  }

  uint64_t n = 0;
  for (size_t i = 0; i < num.size() && i < 8; ++i) n = n << 8 | (uint8_t)num[i];
  rc = fsz_str(n, (h >> 4) % 3, &dg, style, &sc, out.data(), outsize);
  FUZZ_CHECK(rc == 0 || rc == 9005);
  FUZZ_CHECK(fuzz::terminated(out.data(), outsize));

  dgrp_free(&dg);
  syscfg_free(&sc);
  return 0;
}
