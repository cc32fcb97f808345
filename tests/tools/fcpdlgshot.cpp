// Leaves the copy dialog on the screen after a run with done, failed and partially
// copied rows, and an overwrite confirmation above it, for a screenshot.
// Usage: fcpdlgshot QUARNW.EXE WORKDIR SECONDS
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "ds/list_v.h"
#include "fio/dgrp.h"
#include "fm/fthread.h"
#include "fm/win32/fcfmdlg.h"
#include "fm/win32/fcpdlg.h"
#include "ntf/ntf.h"
#include "quarnw/progr.h"
#include "quarnw/quarnwcfg.h"
#include "quarnw/resimg.h"
#include "syscfg/syscfg.h"
#include "txr/txr.h"
#include "txr/txr_load.h"
#include "xrm/xrm.h"
#include "xrm/xrm_load.h"

namespace {

ntf g_hub{};
bool g_gathered = false;

LRESULT CALLBACK wake_proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == NTF_WAKE_MSG) {
    ntf_dispatch(&g_hub);
    return 0;
  }
  return DefWindowProcA(w, m, wp, lp);
}

void put(const std::string& path) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD n = 0;
  WriteFile(h, path.data(), (DWORD)path.size(), &n, nullptr);
  CloseHandle(h);
}

void pump_while(bool (*busy)(void*), void* arg, DWORD ms) {
  for (DWORD t0 = GetTickCount(); busy(arg) && GetTickCount() - t0 < ms;) {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&m);
      DispatchMessageA(&m);
    }
    Sleep(5);
  }
}

void CALLBACK quit_tick(HWND, UINT, UINT_PTR, DWORD) { ExitProcess(0); }

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    fprintf(stderr, "usage: fcpdlgshot QUARNW.EXE WORKDIR SECONDS\n");
    return 2;
  }
  HINSTANCE res = LoadLibraryExA(argv[1], nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!res) return 3;
  INITCOMMONCONTROLSEX ic{sizeof ic, ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&ic);
  const std::string work = argv[2], src = work + "\\Projects", dst = work + "\\Backup";
  CreateDirectoryA(work.c_str(), nullptr);
  CreateDirectoryA(src.c_str(), nullptr);
  CreateDirectoryA(dst.c_str(), nullptr);
  CreateDirectoryA((src + "\\photos").c_str(), nullptr);
  for (int i = 0; i < 10; ++i) put(src + "\\photos\\img" + std::to_string(i) + ".jpg");
  for (const char* n : {"notes.txt", "report.doc", "budget.xls", "vanished.tmp"}) put(src + "\\" + n);
  HANDLE held[3];
  for (int i = 0; i < 3; ++i)
    held[i] = CreateFileA((src + "\\photos\\img" + std::to_string(i * 3 + 1) + ".jpg").c_str(),
                          GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);

  WNDCLASSA wc{};
  wc.lpfnWndProc = wake_proc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "fcpshotwake";
  RegisterClassA(&wc);
  HWND wake = CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
  xrm x{};
  xrm_init(&x, "quarnw", "moxware", "shot", nullptr, nullptr);
  db* d = xrm_db_new(&x);
  xrml xl;
  xrml_init(&xl);
  xrml_load_data(&xl, d, quarnw_xrm_img, quarnw_xrm_img_size);
  xrml_free(&xl);
  for (const char* c : {"name", "dir", "size", "err"}) xrm_put(d, ("*fcplist.col." + std::string(c) + ".visible").c_str(), 0, "Yes");
  txr tx{};
  txr_init(&tx, "en");
  txrl tl;
  txrl_clear(&tl);
  txrl_load_data(&tl, &tx, quarnw_txr_img, quarnw_txr_img_size);
  txrl_clear(&tl);
  syscfg sc{};
  syscfg_init(&sc);
  dgrp dg{};
  dgrp_init(&dg, &sc);
  ntf_init(&g_hub, &wake, NTF_WAKE_MSG);
  progr pr{};
  progr_init(&pr, nullptr);
  quarnwcfg cfg{};
  quarnwcfg_init(&cfg);
  quarnwcfg_set_dflts(&cfg);
  quarnwcfg_get_xrm(&cfg, d);
  const fopenv env{res, &tx, d, &g_hub, &dg, &sc};

  flist fl{};
  flist_init(&fl, 1);
  ftenv fe{&g_hub, &tx};
  ntf_add(&g_hub, NTF_THREAD_END, &fl,
          [](int, void* data, void*) -> int {
            ft_free(static_cast<ft*>(data));
            g_gathered = true;
            return NTF_REMOVE;
          },
          nullptr);
  fthread_gather(&fe, src.c_str(), &fl, nullptr, &fl);
  pump_while([](void*) { return !g_gathered; }, nullptr, 30000);
  flist_sort(&fl, "name", 0, nullptr, 0, nullptr);
  list recs{};
  list_v_init(&recs, 0xC2, nullptr, nullptr, nullptr, nullptr);
  for (unsigned i = 0; i < flist_count(&fl); ++i) {
    frec* r = flist_get(&fl, i);
    if (std::string(r->dir) == src + "\\") list_v_append(&recs, r);
  }
  DeleteFileA((src + "\\vanished.tmp").c_str());  // listed, then gone: its row fails

  fcpdlg dlg{};
  fcpdlg_init(&dlg);
  if (fcpdlg_create(&dlg, &cfg.fcpdlg, &env, &recs, nullptr, &pr)) return 4;
  SetWindowPos(dlg.dlg, nullptr, 40, 40, 760, 420, SWP_NOZORDER);
  SetDlgItemTextA(dlg.dlg, 8450, dst.c_str());
  SendMessageA(GetDlgItem(dlg.dlg, 8455), BM_CLICK, 0, 0);
  pump_while([](void* p) { return fcpdlg_running(static_cast<fcpdlg*>(p)) != 0; }, &dlg, 60000);
  for (HANDLE h : held) CloseHandle(h);

  SetTimer(nullptr, 0, (UINT)atoi(argv[3]) * 1000, quit_tick);
  fcfmdlg q{};
  q.type = FCFM_OVERWRITE;
  q.btns = FCFM_YNYNC;
  const std::string ask = dst + "\\notes.txt";
  q.path = ask.c_str();
  q.tx = &tx;
  q.rdb = d;
  int answer = 0;
  fcfmdlg_run(&q, res, dlg.dlg, &answer);
  return 0;
}
