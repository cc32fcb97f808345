// The confirmation dialog: every type's texts, every button set on its real template,
// the file's facts, and the answer of each button.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fm/win32/fcfmdlg.h"
#include "quarnw/resimg.h"
#include "txr/txr.h"
#include "txr/txr_load.h"

namespace {

struct Tx {
  txr tx{};
  Tx() {
    EXPECT_EQ(txr_init(&tx, "en"), 0);
    txrl tl;
    txrl_clear(&tl);
    EXPECT_EQ(txrl_load_data(&tl, &tx, quarnw_txr_img, quarnw_txr_img_size), 0);
    txrl_clear(&tl);
  }
  ~Tx() { txr_free(&tx); }
};

std::string temp_file(const char* name, DWORD attrs) {
  char t[MAX_PATH];
  GetTempPathA(sizeof t, t);
  std::string p = std::string(t) + name + std::to_string(GetCurrentProcessId());
  SetFileAttributesA(p.c_str(), FILE_ATTRIBUTE_NORMAL);
  HANDLE h = CreateFileA(p.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  EXPECT_NE(h, INVALID_HANDLE_VALUE);
  CloseHandle(h);
  SetFileAttributesA(p.c_str(), attrs);
  return p;
}

}  // namespace

TEST(FcfmDlg, EveryTypeHasItsTitleAndQuestionForFilesAndDirectories) {
  struct Case {
    int type;
    const char* word;
    const char *ftitle, *fmsg, *dtitle, *dmsg;
  };
  const Case cases[] = {
      {FCFM_OVERWRITE, "overwrite", "Overwrite File", "Overwrite this file?", "Overwrite File", "Overwrite this file?"},
      {FCFM_OVERWRITE_RO, "overwriteRO", "Overwrite Read-Only File", "Overwrite this READ-ONLY file?",
       "Overwrite Read-Only File", "Overwrite this READ-ONLY file?"},
      {FCFM_DEL, "del", "Delete File", "Delete this file?", "Delete Directory", "Delete this directory?"},
      {FCFM_DEL_RO, "delRO", "Delete Read-Only File", "Delete this READ-ONLY file?", "Delete Read-Only Directory",
       "Delete this READ-ONLY directory?"},
      {FCFM_DEL_RO_INDIR, "delROIndir", "Delete Read-Only File", "This directory contains READ-ONLY file(s). Delete?",
       "Delete Read-Only Directory", "This directory contains READ-ONLY file(s). Delete?"},
      {FCFM_PERMDEL, "permdel", "Delete File", "PERMANENTLY delete this file?", "Delete Directory",
       "PERMANENTLY delete this directory?"},
      {FCFM_PERMDEL_RO, "permdelRO", "Delete Read-Only File", "PERMANENTLY delete this READ-ONLY file?",
       "Delete Read-Only Directory", "PERMANENTLY delete this READ-ONLY directory?"},
      {FCFM_PERMDEL_RO_INDIR, "permdelROIndir", "Delete Read-Only File",
       "This directory contains READ-ONLY file(s). PERMANENTLY delete?", "Delete Read-Only Directory",
       "This directory contains READ-ONLY file(s). PERMANENTLY delete?"},
  };
  Tx t;
  for (const txr* tx : {(const txr*)nullptr, (const txr*)&t.tx}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(c.word);
      EXPECT_STREQ(fcfm_type_word(c.type), c.word);
      char title[256], msg[256];
      ASSERT_EQ(fcfm_texts(tx, c.type, 0, title, sizeof title, msg, sizeof msg), 0);
      EXPECT_STREQ(title, c.ftitle);
      EXPECT_STREQ(msg, c.fmsg);
      ASSERT_EQ(fcfm_texts(tx, c.type, 1, title, sizeof title, msg, sizeof msg), 0);
      EXPECT_STREQ(title, c.dtitle);
      EXPECT_STREQ(msg, c.dmsg);
    }
  }
  char a[8], b[8];
  EXPECT_EQ(fcfm_texts(nullptr, 99, 0, a, sizeof a, b, sizeof b), 9003);
  EXPECT_EQ(fcfm_type_word(0), nullptr);
}

TEST(FcfmDlg, TheButtonSetFollowsTheOrderSettingAndWhatFollows) {
  struct Case {
    int cfm_yn, more, noall, btns;
    const char* word;
  };
  const Case cases[] = {{4, 0, 1, FCFM_YN, "yn"},     {4, 1, 1, FCFM_YNYNC, "ynYNc"}, {4, 1, 0, FCFM_YNYC, "ynYc"},
                        {1, 0, 1, FCFM_NY, "ny"},     {1, 1, 1, FCFM_NYNYC, "nyNYc"}, {1, 1, 0, FCFM_NYYC, "nyYc"}};
  for (const Case& c : cases) {
    EXPECT_EQ(fcfm_btns_of(c.cfm_yn, c.more, c.noall), c.btns) << c.word;
    EXPECT_STREQ(fcfm_btns_word(c.btns), c.word);
  }
}

TEST(FcfmDlg, TheFactsAreReadFreshAndAMissingFileFails) {
  const std::string p = temp_file("fcfmfacts", FILE_ATTRIBUTE_READONLY);
  char buf[1024];
  ASSERT_EQ(fcfm_facts(nullptr, p.c_str(), buf, sizeof buf), 0);
  const std::string f = buf;
  EXPECT_EQ(f.rfind("Attr.: -r", 0), 0u) << f;
  EXPECT_NE(f.find("\r\nCreat.: "), std::string::npos) << f;
  EXPECT_NE(f.find("\r\nModif.: "), std::string::npos) << f;
  SetFileAttributesA(p.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileA(p.c_str());
  EXPECT_EQ(fcfm_facts(nullptr, p.c_str(), buf, sizeof buf), 2);
}

namespace {

struct Probe {
  std::vector<int> present;
  int dflt = 0;
  std::string title, question, facts;
  int press = 0;
};
Probe* g_probe = nullptr;

void CALLBACK probe_tick(HWND, UINT, UINT_PTR, DWORD) {
  HWND q = fcfmdlg_active();
  if (!q || !g_probe || !IsWindowVisible(q)) return;
  constexpr int kIds[] = {FT_ANS_YES, FT_ANS_NO, FT_ANS_YESALL, FT_ANS_NOALL, IDCANCEL};
  for (int id : kIds)
    if (GetDlgItem(q, id)) g_probe->present.push_back(id);
  const LRESULT r = SendMessageA(q, DM_GETDEFID, 0, 0);
  g_probe->dflt = HIWORD(r) == DC_HASDEFID ? LOWORD(r) : 0;
  char t[512];
  GetWindowTextA(q, t, sizeof t);
  g_probe->title = t;
  GetDlgItemTextA(q, IDC_FCFM_QUESTION, t, sizeof t);
  g_probe->question = t;
  GetDlgItemTextA(q, IDC_FCFM_FACTS, t, sizeof t);
  g_probe->facts = t;
  fcfmdlg_answer(q, g_probe->press);
  g_probe = nullptr;
}

}  // namespace

TEST(FcfmDlg, EachTemplateShowsItsButtonsWithTheFirstAsDefaultAndAnswersWithThePressedOne) {
  struct Case {
    int btns;
    std::vector<int> ids;  // in order; the first is the default
  };
  const Case cases[] = {
      {FCFM_YN, {FT_ANS_YES, FT_ANS_NO}},
      {FCFM_YNYC, {FT_ANS_YES, FT_ANS_NO, FT_ANS_YESALL, IDCANCEL}},
      {FCFM_YNYNC, {FT_ANS_YES, FT_ANS_NO, FT_ANS_YESALL, FT_ANS_NOALL, IDCANCEL}},
      {FCFM_NY, {FT_ANS_NO, FT_ANS_YES}},
      {FCFM_NYYC, {FT_ANS_NO, FT_ANS_YES, FT_ANS_YESALL, IDCANCEL}},
      {FCFM_NYNYC, {FT_ANS_NO, FT_ANS_YES, FT_ANS_NOALL, FT_ANS_YESALL, IDCANCEL}},
  };
  Tx t;
  const std::string p = temp_file("fcfmdlg", FILE_ATTRIBUTE_NORMAL);
  const UINT_PTR timer = SetTimer(nullptr, 0, 30, probe_tick);
  // one dialog per set; the presses go round so that every answer is given
  constexpr int kPress[] = {FT_ANS_YES, FT_ANS_YESALL, FT_ANS_NOALL, FT_ANS_NO, IDCANCEL, FT_ANS_NOALL};
  int k = 0;
  for (const Case& c : cases) {
    for (int press : {kPress[k++]}) {
      SCOPED_TRACE(std::string(fcfm_btns_word(c.btns)) + " " + std::to_string(press));
      Probe probe;
      probe.press = press;
      g_probe = &probe;
      fcfmdlg d{};
      d.type = FCFM_OVERWRITE_RO;
      d.btns = c.btns;
      d.path = p.c_str();
      d.tx = &t.tx;
      int answer = 0;
      ASSERT_EQ(fcfmdlg_run(&d, GetModuleHandleA(nullptr), nullptr, &answer), 0);
      EXPECT_EQ(answer, press);
      std::vector<int> want = c.ids;
      std::vector<int> got = probe.present;
      std::sort(want.begin(), want.end());
      std::sort(got.begin(), got.end());
      EXPECT_EQ(got, want);
      EXPECT_EQ(probe.dflt, c.ids[0]);
      EXPECT_EQ(probe.title, "Overwrite Read-Only File");
      EXPECT_EQ(probe.question, "Overwrite this READ-ONLY file?");
      EXPECT_NE(probe.facts.find("Modif.: "), std::string::npos);
      EXPECT_EQ(fcfmdlg_active(), nullptr);
    }
  }
  KillTimer(nullptr, timer);
  DeleteFileA(p.c_str());
  fcfmdlg bad{};
  bad.type = 42;
  bad.btns = FCFM_YN;
  bad.path = p.c_str();
  int answer = 0;
  EXPECT_EQ(fcfmdlg_run(&bad, GetModuleHandleA(nullptr), nullptr, &answer), 9003);
  EXPECT_EQ(answer, 0);
}
