// Shared by the matcher tests: pattern tables, a timer, an automaton builder and a
// front end's match on a fresh record.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "c/log_capture.h"
#include "rex/rexmatch.h"

// A pattern with its texts: "ab ~ !b" lists texts that match, a text that does not
// after '!', and ~ for the empty text.
struct rex_case {
  const char* patt;
  int flags;
  const char* texts;
};

inline void rex_table(const std::vector<rex_case>& cases, const std::function<int(const char*, int, const char*)>& match) {
  for (const rex_case& c : cases) {
    std::istringstream in(c.texts);
    for (std::string w; in >> w;) {
      int want = w[0] != '!';
      w.erase(0, !want);
      if (w == "~") w.clear();
      EXPECT_EQ(match(c.patt, c.flags, w.c_str()), want) << c.patt << " flags " << c.flags << " `" << w << "'";
    }
  }
}

inline double rex_seconds(const std::function<void()>& run) {
  auto t0 = std::chrono::steady_clock::now();
  run();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

// Builds and finishes an automaton from a compact notation: '(' ')' groups, '|'
// alternatives, '.' any non-separator, '#' any character, '[..]' a list ('!' negates),
// '\' escapes; a '*', '+' or '?' after an atom or ')' is its quantifier.
inline int rex_build(rexm& re, const char* p, int flags, const char* seps = nullptr) {
  rexm_clear(&re);
  int rc = rexm_init(&re, flags, seps);
  auto quant = [&p]() { return *p == '*' || *p == '+' || *p == '?' ? *p++ : 0; };
  while (!rc && *p) {
    char c = *p++;
    unsigned used;
    switch (c) {
      case '(': rc = rexm_group(&re); break;
      case ')': rc = rexm_group_end(&re, quant()); break;
      case '|': rc = rexm_alt(&re); break;
      case '[':
        rc = rexm_add_chl(&re, p - 1, '!', &used);
        p += used - 1;
        break;
      case '.': rc = rexm_add_char(&re, REXM_ANY_NOSEP, quant()); break;
      case '#': rc = rexm_add_char(&re, REXM_ANY, quant()); break;
      case '\\': c = *p++; [[fallthrough]];
      default: rc = rexm_add_char(&re, (unsigned char)c, quant()); break;
    }
  }
  return rc ? rc : rexm_finish(&re);
}

// A front end's match on a fresh record: 1 or 0, -code when the pattern fails.
template <class R, class Init, class Match>
int rex_once(Init init, Match match, const char* patt, int flags, const char* text, int* err = nullptr) {
  R r{};
  int rc = init(&r, patt, flags);
  int m = rc ? 0 : match(&r, text, err);
  rexm_free(&r.re);
  return rc ? -rc : m;
}
