#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "fio/intf.h"

namespace {

struct Parsed {
  int rc;
  unsigned op;
  int value;
  std::string rest;  // text after the end position
};

Parsed parse(unsigned flags, const char* text) {
  intf f;
  intf_init(&f, flags);
  Parsed r{0, 77, 1234, "<untouched>"};  // 77: the caller's code stays without a prefix
  const char* end = nullptr;
  r.rc = intf_parse(&f, text, &end, &r.op, &r.value);
  if (end) r.rest = end;
  return r;
}

std::string to_str(unsigned flags, unsigned op, int value, unsigned size = 32, int* rc = nullptr) {
  intf f;
  intf_init(&f, flags);
  char buf[64] = "junk";
  int r = intf_to_str(&f, op, value, buf, size);
  if (rc) *rc = r;
  return buf;
}

TEST(Intf, Parse) {
  struct Case {
    unsigned flags;
    const char* text;
    int rc;
    unsigned op;
    int value;
    const char* rest;
  } cases[] = {
      {1, "5-", 0, 77, -5, ""},       {1, "-4-x", 0, 1, -4, "x"},
      {1, "+-", 0, 3, 0, "-"},        {1, "12 rest", 0, 77, 12, " rest"},
      {0, "<=5", 0, 2, 5, ""},        {0, "=5", 0, 77, 0, "=5"},       {0, "5-", 0, 77, 5, "-"},
      {0, "+7", 0, 77, 7, ""},        {0, "<-7", 0, 1, -7, ""},        {1, "2147483647", 0, 77, INT_MAX, ""},
      {0, "-2147483648", 0, 77, INT_MIN, ""},
      {1, "+2147483648", 9003, 77, 1234, "<untouched>"},  // out of range: nothing written
      {1, "", 0, 77, 1234, "<untouched>"},                // empty: nothing touched
  };
  for (const Case& c : cases) {
    Parsed p = parse(c.flags, c.text);
    EXPECT_EQ(p.rc, c.rc) << c.text;
    EXPECT_EQ(p.op, c.op) << c.text;
    EXPECT_EQ(p.value, c.value) << c.text;
    EXPECT_EQ(p.rest, c.rest) << c.text;
  }
  EXPECT_EQ(parse(1, nullptr).value, 1234);
  unsigned op = 0;
  int v = 0;
  EXPECT_EQ(intf_parse(nullptr, "1", nullptr, &op, &v), 9003);
}

TEST(Intf, ToStrAndBack) {
  EXPECT_EQ(to_str(1, 3, -4), "+4-");
  EXPECT_EQ(to_str(1, 0, INT_MIN), "2147483648-");
  EXPECT_EQ(to_str(0, 4, 0), ">=0");
  int rc = 0;
  EXPECT_EQ(to_str(1, 2, 5, 32, &rc), "");  // the signed form cannot say "or equal"
  EXPECT_EQ(rc, 9003);
  to_str(0, 5, 5, 32, &rc);
  EXPECT_EQ(rc, 9003);
  EXPECT_EQ(to_str(0, 4, 123, 4, &rc), ">=1");
  EXPECT_EQ(rc, 9005);

  for (unsigned flags : {0u, 1u})
    for (unsigned op : {0u, 1u, 2u, 3u, 4u}) {
      if (flags && (op == 2 || op == 4)) continue;
      for (int v : {0, 1, -1, -4, 9017, INT_MAX, INT_MIN + 1}) {
        std::string s = to_str(flags, op, v);
        Parsed p = parse(flags, s.c_str());
        EXPECT_EQ(p.op, op == 0 ? 77u : op) << s;
        EXPECT_EQ(p.value, v) << s;
        EXPECT_EQ(p.rest, "") << s;
      }
    }
}

}  // namespace
