// Ignoring case beyond ASCII: names and paths in the active code page, whichever it is
// (1252 for a test program, UTF-8 for the programs with their manifest).
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "rex/fnmatch.h"
#include "rex/pnmatch.h"
#include "rex/rexfold.h"

namespace {

// The text in the active code page; empty when the code page cannot hold it.
std::string acp(const wchar_t* w) {
  char buf[512];
  BOOL lost = FALSE;
  int n = WideCharToMultiByte(CP_ACP, 0, w, -1, buf, sizeof buf, nullptr, GetACP() == CP_UTF8 ? nullptr : &lost);
  return n > 0 && !lost ? std::string(buf) : std::string();
}

int name_match(const wchar_t* patt, int flags, const wchar_t* text) {
  fnm f;
  fnm_clear(&f);
  EXPECT_EQ(fnm_init(&f, acp(patt).c_str(), flags), 0);
  int err = 0;
  int m = fnm_match(&f, acp(text).c_str(), &err);
  EXPECT_EQ(err, 0);
  fnm_free(&f);
  return m;
}

int path_match(const wchar_t* patt, int flags, const wchar_t* text) {
  pnm p;
  pnm_clear(&p);
  EXPECT_EQ(pnm_init(&p, acp(patt).c_str(), flags), 0);
  int m = pnm_match(&p, acp(text).c_str(), nullptr);
  pnm_free(&p);
  return m;
}

TEST(Fold, NamesIgnoringCaseBeyondAscii) {
  const struct {
    const wchar_t* patt;
    int flags;
    const wchar_t* text;
    int match;
  } cases[] = {
      {L"CAFÉ.TXT", FNM_ICASE, L"café.txt", 1},
      {L"CAFÉ.TXT", 0, L"café.txt", 0},  // exact unless asked
      {L"*Ü*", FNM_ICASE, L"grüße", 1},
      {L"straße", FNM_ICASE, L"STRASSE", 0},  // letters fold one to one, as the file system's do
      {L"[_-z]é", FNM_ICASE, L"aÉ", 1},      // ASCII ranges keep their meaning
      {L"^*é", FNM_ICASE, L"*É", 1},
      {L"^*é", FNM_ICASE, L"xÉ", 0},
      {L"ÀÉÎÕÜ", FNM_ICASE, L"àéîõü", 1},
      {L"àéîõü", FNM_ICASE, L"àéîõu", 0},
  };
  for (const auto& k : cases) EXPECT_EQ(name_match(k.patt, k.flags, k.text), k.match) << k.text;
}

TEST(Fold, PathsIgnoringCaseBeyondAscii) {
  EXPECT_EQ(path_match(L"C:\\Données", PNM_DIR | PNM_ICASE, L"c:/DONNÉES/"), 1);
  EXPECT_EQ(path_match(L"C:\\Données\\**", PNM_DIR | PNM_ICASE, L"C:\\DONNÉES\\a\\b\\"), 1);
  EXPECT_EQ(path_match(L"C:\\Données", PNM_DIR, L"C:\\DONNÉES\\"), 0);
}

TEST(Fold, AsciiAndUnfoldableTextsStayAsTheyAre) {
  char out[64];
  const char* ascii = "Plain.TXT";
  EXPECT_EQ(rexm_fold(ascii, out, sizeof out), ascii) << "no copy for ASCII";
  const std::string e = acp(L"é");
  EXPECT_STREQ(rexm_fold(e.c_str(), out, sizeof out), acp(L"É").c_str());
  EXPECT_EQ(rexm_fold(e.c_str(), out, 1), e.c_str()) << "too small: matched byte by byte";
  const std::string lng(5000, 'x');
  const std::string longer = lng + e;
  EXPECT_EQ(rexm_fold(longer.c_str(), out, sizeof out), longer.c_str());
}

}  // namespace
