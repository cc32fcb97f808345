// Delimited values in both modes with small buffers; every value stays inside its buffer.
#include "c/dv.h"
#include "fuzz_util.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::setup();
  uint8_t h = fuzz::head(data, size);
  std::string all = fuzz::text(data, size);
  // the first line is the delimiter set, the rest the text
  size_t nl = all.find('\n');
  std::string delim = nl == std::string::npos ? "," : all.substr(0, nl);
  std::string text = nl == std::string::npos ? all : all.substr(nl + 1);
  const unsigned valsize = 1 + (h & 0x1F);
  const char esc = (h & 0x40) ? '^' : 0;
  std::vector<char> buf(valsize);
  dv d;
  if (dv_init(&d, (h >> 5) & 1, esc, buf.data(), valsize)) return 0;
  const char* start = text.c_str();
  for (int i = 0; i <= (int)text.size() + 1; i++) {
    const char* v = dv_next(&d, i ? nullptr : start, delim.c_str());
    if (!v) break;
    FUZZ_CHECK(v == buf.data());
    FUZZ_CHECK(fuzz::terminated(buf.data(), valsize));
    FUZZ_CHECK(d.strp == nullptr || (d.strp >= start && d.strp <= start + text.size()));
  }
  return 0;
}
