// Shared by the matcher tests: the empty-loop check, a slow reference matcher for
// wildcard patterns, a generator of random patterns and pattern tables.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "c/log_capture.h"
#include "rex/rexmatch.h"

// True when some state reaches itself through empty lines only.
inline bool rex_empty_cycle(const rexm& re) {
  std::vector<int> mark(re.nstates, 0);  // 0 new, 1 on the path, 2 done
  std::function<bool(int)> visit = [&](int s) {
    mark[s] = 1;
    for (int l = re.states[s].first; l >= 0; l = re.lns[l].next) {
      const rexm_ln& ln = re.lns[l];
      if (ln.code != REXM_EMPTY) continue;
      if (mark[ln.target] == 1 || (mark[ln.target] == 0 && visit(ln.target))) return true;
    }
    mark[s] = 2;
    return false;
  };
  for (int s = 0; s < re.nstates; s++)
    if (!mark[s] && visit(s)) return true;
  return false;
}

// Wildcard semantics written out by recursion: esc the escape character, seps the
// separators (a path pattern's separators match either one), opt_q for an optional '?'.
struct rex_ref {
  char esc = '^';
  std::string seps;
  bool opt_q = false;
  bool icase = false;

  bool sep(char c) const { return c && seps.find(c) != std::string::npos; }
  static char low(char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; }
  // the list at p ('[', read as the list tests show): *end past it, whether c is in it
  bool in_list(const char* p, char c, const char** end) const {
    char chl[REXM_CHL_SIZE];
    int neg = 0;
    unsigned used = 0;
    rexm_read_chl(p, '!', chl, sizeof chl, &neg, &used);
    *end = p + used;
    bool in = false;
    for (const char* x = chl; *x; x++) in |= eq(*x, c);
    return !sep(c) && in != (neg != 0);
  }
  bool eq(char a, char b) const { return icase ? low(a) == low(b) : a == b; }
  bool match(const char* p, const char* s) const {
    if (!*p) return !*s;
    if (*p == '*') {
      bool two = !seps.empty() && p[1] == '*';
      const char* q = p + (two ? 2 : 1);
      for (const char* t = s;; t++) {
        if (match(q, t)) return true;
        if (!*t || (!two && sep(*t))) return false;
      }
    }
    if (*p == '?') return (*s && !sep(*s) && match(p + 1, s + 1)) || (opt_q && match(p + 1, s));
    if (*p == '[') {
      const char* end;
      return *s && in_list(p, *s, &end) && match(end, s + 1);
    }
    if (*p == esc) {
      if (!p[1]) return match(p + 1, s);
      return eq(p[1], *s) && *s && match(p + 2, s + 1);
    }
    if (sep(*p)) return sep(*s) && match(p + 1, s + 1);
    return *s && eq(*p, *s) && match(p + 1, s + 1);
  }
};

// Random patterns over pieces, texts over the letters they use.
inline std::string rex_pick(std::mt19937& rng, const std::vector<std::string>& pieces, int maxn) {
  std::string s;
  for (int n = std::uniform_int_distribution<int>(0, maxn)(rng); n > 0; n--)
    s += pieces[std::uniform_int_distribution<size_t>(0, pieces.size() - 1)(rng)];
  return s;
}

// Compiles 3000 random patterns (compile returns the automaton, or nullptr on failure)
// and matches 20 random texts on each against want; no automaton may hold an empty
// loop. Returns the number of matches, -1 after the first disagreement.
inline int rex_cross(unsigned seed, const std::vector<std::string>& pieces, const std::vector<std::string>& letters,
                     const std::function<const rexm*(const std::string&)>& compile,
                     const std::function<bool(const std::string&, const std::string&)>& want) {
  std::mt19937 rng(seed);
  int hits = 0;
  for (int i = 0; i < 3000; i++) {
    std::string patt = rex_pick(rng, pieces, 6);
    const rexm* re = compile(patt);
    EXPECT_TRUE(re && !rex_empty_cycle(*re)) << patt;
    if (!re) return -1;
    for (int j = 0; j < 20; j++) {
      std::string text = rex_pick(rng, letters, 6);
      int m = rexm_match(re, text.c_str());
      EXPECT_EQ(m, (int)want(patt, text)) << patt << " `" << text << "'";
      if (m != (int)want(patt, text)) return -1;
      hits += m;
    }
  }
  return hits;
}

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

// Builds an automaton from a compact notation: '(' ')' groups, '|' alternatives, '.'
// any non-separator, '#' any character, '[..]' a list ('!' negates), '\' escapes; a
// '*', '+' or '?' after an atom or ')' is its quantifier. The automaton is finished.
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
