// The windowed program's search against the console tool's on one tree, in one run:
// quarn.exe started with its output to a file, then the program's own main window (its
// modules linked in) with the path typed and Find pressed until the machine stops and
// the list shows every row, then a sort of the result by path. While the window thread
// searches, another thread sends it WM_NULL every 10 ms and times the answers.
// Usage: bench_quarnw QUARN_EXE TREE OUT_FILE [ROUNDS]
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "err/err.h"
#include "fm/flist.h"
#include "ntf/ntf.h"
#include "quarnw/win32/quarndlg.h"
#include "quarnw/win32/quarnw.h"
#include "quarnw/win32/stdvw.h"

namespace {

double now_ms() {
  static LARGE_INTEGER f{};
  if (!f.QuadPart) QueryPerformanceFrequency(&f);
  LARGE_INTEGER c;
  QueryPerformanceCounter(&c);
  return (double)c.QuadPart * 1000.0 / (double)f.QuadPart;
}

// The console tool on the tree, its output to a file; the wall time in ms, or -1.
double run_quarn(const std::string& exe, const std::string& tree, const std::string& out) {
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  HANDLE f = CreateFileA(out.c_str(), GENERIC_WRITE, 0, &sa, CREATE_ALWAYS, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return -1;
  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = f;
  si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  std::string cmd = "\"" + exe + "\" \"" + tree + "\"";
  PROCESS_INFORMATION pi{};
  const double t0 = now_ms();
  if (!CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
    CloseHandle(f);
    return -1;
  }
  WaitForSingleObject(pi.hProcess, INFINITE);
  const double t = now_ms() - t0;
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  CloseHandle(f);
  return t;
}

unsigned count_lines(const std::string& path) {
  FILE* f = fopen(path.c_str(), "rb");
  if (!f) return 0;
  unsigned n = 0;
  for (int c; (c = fgetc(f)) != EOF;) n += c == '\n';
  fclose(f);
  return n;
}

// Handles the window thread's messages as the program's loop does, without polling delays.
void pump_once() {
  MsgWaitForMultipleObjectsEx(0, nullptr, 20, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

HWND list_view() { return GetDlgItem(g_quarndlg->dlg, IDC_QD_FLIST); }

// Until the machine stops and the list shows every record of the file list.
bool wait_done(double limit_ms) {
  const double t0 = now_ms();
  while (now_ms() - t0 < limit_ms) {
    pump_once();
    if (quarndlg_running(g_quarndlg) || ntf_queued(&g_ntf)) continue;
    const unsigned rows = (unsigned)SendMessageA(list_view(), LVM_GETITEMCOUNT, 0, 0);
    if (rows == flist_count(quarndlg_flist(g_quarndlg))) return true;
  }
  return false;
}

// Sends WM_NULL to the window every 10 ms while it runs and keeps the answer times.
class Prober {
 public:
  explicit Prober(HWND wnd)
      : t_([this, wnd] {
          while (!stop_) {
            const double t0 = now_ms();
            DWORD_PTR r = 0;
            SendMessageTimeoutA(wnd, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &r);
            times_.push_back(now_ms() - t0);
            Sleep(10);
          }
          done_ = true;
        }) {}
  // The window thread answers a message in flight before it waits for the prober.
  std::vector<double> finish() {
    stop_ = true;
    while (!done_) pump_once();
    t_.join();
    return times_;
  }

 private:
  std::atomic<bool> stop_{false}, done_{false};
  std::vector<double> times_;
  std::thread t_;
};

// The windowed search of the tree; the time in ms, or -1.
double run_quarnw(const std::string& tree, std::vector<double>* answers) {
  g_cfg.sortby[0] = 0;  // the search alone, no sort after it
  HWND vw = g_quarndlg->vw.dlg;
  HWND p = GetDlgItem(vw, IDC_STD_PATH);
  SendMessageA(p, WM_SETTEXT, 0, (LPARAM)tree.c_str());
  SendMessageA(vw, WM_COMMAND, MAKEWPARAM(IDC_STD_PATH, CBN_EDITCHANGE), (LPARAM)p);
  for (int id : {IDC_STD_NAME, IDC_STD_MD, IDC_STD_SIZE}) SetDlgItemTextA(vw, id, "");
  Prober probe(g_main_wnd);
  const double t0 = now_ms();
  SendMessageA(GetDlgItem(vw, IDC_STD_FIND), BM_CLICK, 0, 0);
  const bool done = wait_done(600000);
  const double t = now_ms() - t0;
  std::vector<double> a = probe.finish();
  answers->insert(answers->end(), a.begin(), a.end());
  return done ? t : -1;
}

double run_sort() {
  g_cfg.sortby[0] = 0;  // sort by path, ascending, whatever came before
  g_cfg.sortrev = 0;
  const double t0 = now_ms();
  SendMessageA(g_main_wnd, WM_COMMAND, MAKEWPARAM(IDM_FSORTBYPATH, 0), 0);
  const bool done = wait_done(600000);
  return done ? now_ms() - t0 : -1;
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

double percentile(std::vector<double> v, double p) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  size_t i = (size_t)(p / 100.0 * (double)(v.size() - 1) + 0.5);
  return v[std::min(i, v.size() - 1)];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    fprintf(stderr, "usage: bench_quarnw QUARN_EXE TREE OUT_FILE [ROUNDS]\n");
    return 1;
  }
  const std::string exe = argv[1], tree = argv[2], out = argv[3];
  const int rounds = argc > 4 ? std::max(1, atoi(argv[4])) : 3;

  char base[MAX_PATH], cfgdir[MAX_PATH];
  GetTempPathA(sizeof base, base);
  snprintf(cfgdir, sizeof cfgdir, "%squarnw-bench-%lu", base, GetCurrentProcessId());
  const std::string cfgopt = std::string("-cfgdir:") + cfgdir;
  const char* args[] = {cfgopt.c_str()};
  err_init(0, nullptr, nullptr, nullptr, uerrque_hook, &g_uerrque);
  int ended = 0;
  if (quarnw_startup(1, args, SW_SHOWNORMAL, &ended) || !g_main_wnd || !g_quarndlg) {
    fprintf(stderr, "bench_quarnw: the program did not start\n");
    return 1;
  }
  for (int i = 0; i < 20; ++i) pump_once();

  // one round of each first: the file system's caches and the program's first search
  std::vector<double> answers, tq, tw, ts;
  if (run_quarn(exe, tree, out) < 0 || run_quarnw(tree, &answers) < 0) {
    fprintf(stderr, "bench_quarnw: a warm-up round failed\n");
    return 1;
  }
  answers.clear();
  for (int r = 0; r < rounds; ++r) {
    tq.push_back(run_quarn(exe, tree, out));
    tw.push_back(run_quarnw(tree, &answers));
    ts.push_back(run_sort());
  }
  const unsigned lines = count_lines(out), rows = flist_count(quarndlg_flist(g_quarndlg));
  const double q = median(tq), w = median(tw), s = median(ts);
  printf("quarn (output to a file):     %8.0f ms  %u lines\n", q, lines);
  printf("quarnw search (list shown):   %8.0f ms  %u rows\n", w, rows);
  printf("quarnw sort by path:          %8.0f ms\n", s);
  // each round's pair ran back to back: the median of their ratios suffers less from the load
  std::vector<double> ratios;
  for (size_t i = 0; i < tq.size(); ++i)
    if (tq[i] > 0 && tw[i] > 0) ratios.push_back(tw[i] / tq[i]);
  printf("quarnw/quarn:                 %8.2f  (median of the rounds' ratios; aim <= 1.3)\n", median(ratios));
  printf("WM_NULL answer while searching: p99 %.1f ms, max %.1f ms, %u samples (aim p99 < 100 ms)\n",
         percentile(answers, 99), percentile(answers, 100), (unsigned)answers.size());
  printf("rounds: %d (medians)\n", rounds);
  fflush(stdout);
  // the console also prints the searched directory itself
  const bool bad = (lines != rows && lines != rows + 1) || q < 0 || w < 0 || s < 0;
  if (bad) fprintf(stderr, "bench_quarnw: a round failed or %u lines against %u rows\n", lines, rows);

  DestroyWindow(g_main_wnd);
  for (int i = 0; i < 10; ++i) pump_once();
  quarnw_shutdown(1);  // nothing saved
  err_free();
  RemoveDirectoryA(cfgdir);
  return bad ? 1 : 0;
}
