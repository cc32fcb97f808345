#include "quarn/qnex.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "quarn/qnex_logcap.h"
#include "quarn/qnexparser.h"
#include "quarn/quarnlib.h"
#include "txr/txr.h"

namespace {

// Every expectation is absolute: US Eastern time with its daylight-saving rules.
struct EasternTime : ::testing::Environment {
  void SetUp() override {
    _putenv("TZ=EST5EDT");
    _tzset();
  }
};
const ::testing::Environment* const kTz = ::testing::AddGlobalTestEnvironment(new EasternTime);

long long utc(int y, int m, int d, int h, int mi) {
  y -= m <= 2;
  long long era = (y >= 0 ? y : y - 399) / 400, yoe = y - era * 400;
  long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  return (era * 146097 + yoe * 365 + yoe / 4 - yoe / 100 + doy - 719468) * 86400 + h * 3600 + mi * 60;
}
long long est(int y, int m, int d, int h = 0, int mi = 0) { return utc(y, m, d, h, mi) + 5 * 3600; }
long long edt(int y, int m, int d, int h = 0, int mi = 0) { return utc(y, m, d, h, mi) + 4 * 3600; }
// File times: 100 ns steps since 1601.
unsigned long long ft(long long secs) { return (unsigned long long)(secs + 11644473600LL) * 10000000ULL; }
FILETIME filetime(unsigned long long t) { return FILETIME{(DWORD)t, (DWORD)(t >> 32)}; }

const long long kNow = edt(2024, 7, 15, 10, 20) + 30;  // Monday, daylight time

// A parser record with its formatters ready, as a parse leaves it for the constructors.
struct Ctx {
  qnexp q;
  explicit Ctx(unsigned flags, long long now = kNow) {
    qnexparser_clear(&q);
    fattrf_init(&q.fattrf, flags);
    fszf_init(&q.fszf, flags);
    ftypef_init(&q.ftypef, flags);
    timef_init(&q.timef, flags, "iso-d-e-ccyy_mm*,iso-dt-e-*,unix-dt-*");
    uintf_init(&q.uintf, flags);
    q.now = (long)now;
  }
  ~Ctx() { qnexparser_free(&q); }
};

// Owns one primary value.
struct Pri {
  void* v = nullptr;
  explicit Pri(void* nv = nullptr) : v(nv) {}
  Pri(const Pri&) = delete;
  ~Pri() { set(nullptr); }
  void set(void* nv) {
    if (v) {
      EXPECT_EQ(qnex_free(v), 0);
      free(v);
    }
    v = nv;
  }
  qnex_pri* pri() const { return static_cast<qnex_pri*>(v); }
  template <class T> T* as() const { return static_cast<T*>(v); }
  int test(const qnd& d) const { return pri()->head.u.test(const_cast<qnd*>(&d), v); }
};

qnd entry(unsigned long long size = 0) {
  qnd d;
  qnd_clear(&d);
  strcpy(d.fd.cFileName, "f.txt");
  d.dir = "C:\\top\\";
  d.depth = 1;
  d.fd.dwFileAttributes = FILE_ATTRIBUTE_ARCHIVE;
  d.fd.nFileSizeLow = (DWORD)size;
  d.fd.nFileSizeHigh = (DWORD)(size >> 32);
  return d;
}
qnd written(unsigned long long t) {
  qnd d = entry();
  d.fd.ftLastWriteTime = filetime(t);
  return d;
}
// The test's results on four entries, as "0110".
template <class F> std::string results(const Pri& p, F make, std::initializer_list<unsigned long long> at) {
  std::string s;
  for (unsigned long long x : at) s += p.test(make(x)) ? '1' : '0';
  return s;
}

class Qnex : public ::testing::Test {
 protected:
  void SetUp() override { qnex_take_reports(); }
  void TearDown() override { EXPECT_TRUE(qnex_take_reports().empty()) << "unexpected user reports"; }
};

TEST_F(Qnex, TimeStamps) {
  Ctx c(1);
  Pri p(qnex_md_new(&c.q, "2017-02", nullptr));
  ASSERT_NE(p.v, nullptr);
  auto* t = p.as<qnex_time_pri>();
  EXPECT_EQ(t->from, est(2017, 2, 1));
  EXPECT_EQ(t->to, est(2017, 3, 1));
  EXPECT_EQ(t->toft, ft(est(2017, 3, 1)));
  p.set(qnex_md_new(&c.q, "2024-03", nullptr));
  EXPECT_EQ(p.as<qnex_time_pri>()->to, edt(2024, 4, 1)) << "the month ends in daylight time";
  p.set(qnex_md_new(&c.q, "1020", nullptr));
  EXPECT_EQ(p.as<qnex_time_pri>()->from, edt(2024, 7, 15, 10, 20)) << "the rest is taken from now";
  EXPECT_EQ(p.as<qnex_time_pri>()->to, edt(2024, 7, 15, 10, 21));
}

qnd at_depth(unsigned long long depth) {
  qnd d = entry();
  d.depth = (int)depth;
  return d;
}

// The relational forms; the signed ones are the console's (tests/e2e).
TEST_F(Qnex, Comparisons) {
  const unsigned long long from = ft(est(2017, 2, 1)), to = ft(est(2017, 3, 1));
  const unsigned long long ystart = ft(edt(2024, 7, 14)), yend = ft(edt(2024, 7, 15));  // yesterday
  const unsigned long long month[] = {from - 1, from, to - 1, to}, day[] = {ystart - 1, ystart, yend - 1, yend},
                           size[] = {9727, 9728, 10752, 10753}, depth[] = {4, 5, 6, 7};
  const struct {
    void* (*ctor)(qnexp*, const char*, int*);
    qnd (*make)(unsigned long long);
    const char* text;
    const unsigned long long* at;
    const char* want;
  } cases[] = {
      {qnex_md_new, written, "<2017-02", month, "1000"},   {qnex_md_new, written, "<=2017-02", month, "1110"},
      {qnex_md_new, written, ">2017-02", month, "0001"},   {qnex_md_new, written, ">=2017-02", month, "0111"},
      {qnex_mtime_new, written, "<1", day, "0001"},        {qnex_mtime_new, written, "<=1", day, "0111"},
      {qnex_mtime_new, written, ">1", day, "1000"},        {qnex_mtime_new, written, ">=1", day, "1110"},
      {qnex_size_new, entry, "<10k", size, "1000"},        {qnex_size_new, entry, "<=10k", size, "1110"},
      {qnex_size_new, entry, ">10k", size, "0001"},        {qnex_size_new, entry, ">=10k", size, "0111"},
      {qnex_depth_new, at_depth, "<5", depth, "1000"},     {qnex_depth_new, at_depth, "<=5", depth, "1100"},
      {qnex_depth_new, at_depth, ">5", depth, "0011"},     {qnex_depth_new, at_depth, ">=5", depth, "0111"},
  };
  Ctx c(0);
  for (const auto& k : cases) {
    Pri p(k.ctor(&c.q, k.text, nullptr));
    ASSERT_NE(p.v, nullptr) << k.text;
    EXPECT_EQ(results(p, k.make, {k.at[0], k.at[1], k.at[2], k.at[3]}), k.want) << k.text;
  }
  Ctx c1(1);
  Pri p(qnex_depth_new(&c1.q, "4294967295", nullptr));
  EXPECT_EQ(p.as<qnex_num_pri>()->n, 4294967295u);
  p.set(qnex_mtime_new(&c1.q, "1", nullptr));
  EXPECT_EQ(results(p, written, {day[0], day[1], day[2], day[3]}), "0110");
  // each primary reads its own time
  qnd d = entry();
  d.fd.ftLastAccessTime = filetime(ft(est(2017, 2, 5)));
  d.fd.ftCreationTime = filetime(ft(est(2017, 1, 5)));
  d.fd.ftLastWriteTime = filetime(ft(est(2016, 12, 5)));
  const char* months[] = {"2017-02", "2017-01", "2016-12"};
  void* (*ctor[])(qnexp*, const char*, int*) = {qnex_ad_new, qnex_bd_new, qnex_md_new};
  for (int i = 0; i < 3; i++)
    for (int m = 0; m < 3; m++) {
      p.set(ctor[i](&c1.q, months[m], nullptr));
      EXPECT_EQ(p.test(d), i == m) << i << " " << months[m];
    }
}

TEST_F(Qnex, AgeWindows) {
  Ctx c(1);
  Pri p(qnex_mmin_new(&c.q, "5", nullptr));
  ASSERT_NE(p.v, nullptr);
  EXPECT_EQ(p.as<qnex_age_pri>()->startft, ft(edt(2024, 7, 15, 10, 15)));
  EXPECT_EQ(p.as<qnex_age_pri>()->endft, ft(edt(2024, 7, 15, 10, 16)));
  // the write time counts, nothing else
  p.set(qnex_mmin_new(&c.q, "0", nullptr));
  qnd d = entry();
  d.fd.ftLastAccessTime = d.fd.ftCreationTime = filetime(ft(kNow));
  EXPECT_EQ(p.test(d), 0);
  d.fd.ftLastWriteTime = filetime(ft(kNow));
  EXPECT_EQ(p.test(d), 1);
  // local midnight on the days the clocks change
  Ctx spring(1, edt(2024, 3, 10, 12));
  p.set(qnex_mtime_new(&spring.q, "0", nullptr));
  EXPECT_EQ(p.as<qnex_age_pri>()->startft, ft(est(2024, 3, 10)));
  Ctx autumn(1, est(2024, 11, 3, 12));
  p.set(qnex_mtime_new(&autumn.q, "1", nullptr));
  EXPECT_EQ(p.as<qnex_age_pri>()->startft, ft(edt(2024, 11, 3)) - 86400ULL * 10000000);
  p.set(qnex_mmin_new(&autumn.q, "0", nullptr));
  EXPECT_EQ(p.as<qnex_age_pri>()->startft, ft(est(2024, 11, 3, 12)));
}

TEST_F(Qnex, SizeBounds) {
  const struct {
    const char* text;
    unsigned long long low, high;
  } cases[] = {{"5g", 5 * 1073741824ULL - 536870912, 5 * 1073741824ULL + 536870912},
               {"4294967295k", 4294967295ULL * 1024 - 512, 4294967295ULL * 1024 + 512}};
  Ctx c(1);
  for (const auto& k : cases) {
    Pri p(qnex_size_new(&c.q, k.text, nullptr));
    ASSERT_NE(p.v, nullptr) << k.text;
    EXPECT_EQ(p.as<qnex_size_pri>()->low, k.low) << k.text;
    EXPECT_EQ(p.as<qnex_size_pri>()->high, k.high) << k.text;
  }
  // the high word of the entry's size counts
  Pri p(qnex_size_new(&c.q, "4g", nullptr));
  EXPECT_EQ(results(p, entry, {0, 1ULL << 32, (1ULL << 32) + 536870912, (1ULL << 32) + 536870913}), "0110");
}

TEST_F(Qnex, AttributesAndType) {
  Ctx c(1);
  Pri p(qnex_attr_new(&c.q, "rh", nullptr));
  auto attrs = [](unsigned long long a) {
    qnd d = entry();
    d.fd.dwFileAttributes = (DWORD)a;
    return d;
  };
  EXPECT_EQ(results(p, attrs, {0x21, 0x02, 0x34, 0}), "1100");
  p.set(qnex_attr_new(&c.q, "", nullptr));
  EXPECT_EQ(results(p, attrs, {0xFFFFFFFF}), "0") << "an empty mask never matches";
  // -type on a directory, an archived file, a plain file
  p.set(qnex_type_new(&c.q, "f", nullptr));
  EXPECT_EQ(results(p, attrs, {0x30, 0x20, 0x80}), "011");
  p.set(qnex_type_new(&c.q, "", nullptr));
  EXPECT_EQ(results(p, attrs, {0x30, 0x20, 0x80}), "000");
}

TEST_F(Qnex, NameAndPath) {
  Ctx c(1);
  auto named = [](const char* n) {
    qnd d = entry();
    strcpy(d.fd.cFileName, n);
    return d;
  };
  Pri p(qnex_name_new(&c.q, "*top*", 0, nullptr));
  EXPECT_EQ(p.test(named("f.txt")), 0) << "the name only, not its directory C:\\top\\";
  // the directory part, in directory form; the entry's own name is not part of it
  const struct {
    const char* patt;
    int flags;
    bool match;
  } paths[] = {{"C:\\src\\", PNM_DIR, true}, {"C:/src", PNM_DIR, true},           {"C:\\", PNM_DIR, false},
               {"C:\\src\\x.c", PNM_DIR, false}, {"c:\\SRC", PNM_DIR, false}, {"c:\\SRC", PNM_DIR | PNM_ICASE, true}};
  qnd d = named("x.c");
  d.dir = "C:\\src\\";
  for (const auto& k : paths) {
    p.set(qnex_path_new(&c.q, k.patt, k.flags, nullptr));
    ASSERT_NE(p.v, nullptr) << k.patt;
    EXPECT_EQ(p.test(d), k.match) << k.patt;
  }
  p.set(qnex_path_new(&c.q, "C:\\src", PNM_DIR, nullptr));
  d.dir = "C:\\src\\sub\\";
  EXPECT_EQ(p.test(d), 0);
  d.dir = nullptr;
  EXPECT_EQ(p.test(d), 0) << "no directory part, no match";

  // a backslash that kept a blank or tab in the value word is not part of the pattern
  const struct {
    const char* patt;
    const char* name;
    const char* dir;
    bool match;
  } escaped[] = {{"file\\ one.txt", "file one.txt", nullptr, true}, {"a\\\tb", "a\tb", nullptr, true},
                 {"file\\ one.txt", "file\\ one.txt", nullptr, false},
                 {"C:\\My\\ Dir\\**", "x", "C:\\My Dir\\sub\\", true},
                 {"C:\\My\\ Dir", "x", "C:\\My\\ Dir\\", false}};
  for (const auto& k : escaped) {
    d = named(k.name);
    d.dir = k.dir ? k.dir : "C:\\";
    p.set(k.dir ? qnex_path_new(&c.q, k.patt, PNM_DIR, nullptr) : qnex_name_new(&c.q, k.patt, 0, nullptr));
    ASSERT_NE(p.v, nullptr) << k.patt;
    EXPECT_EQ(p.test(d), k.match) << k.patt << " on " << k.name;
  }
}

TEST_F(Qnex, Empty) {
  char tmp[MAX_PATH];
  GetTempPathA(sizeof tmp, tmp);
  const std::string root = std::string(tmp) + "qnex_" + std::to_string(GetCurrentProcessId());
  const std::string full = root + "\\F\\zero";
  for (const char* sub : {"", "\\E", "\\F"}) ASSERT_TRUE(CreateDirectoryA((root + sub).c_str(), nullptr));
  CloseHandle(CreateFileA(full.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  Ctx c(1);
  Pri p(qnex_empty_new(&c.q, nullptr));
  ASSERT_NE(p.v, nullptr);
  const std::string sep = root + "\\", e = root + "\\E\\";
  const struct {
    const char* dir;
    const char* name;
    int want;
  } dirs[] = {{sep.c_str(), "E", 1}, {sep.c_str(), "F", 0}, {root.c_str(), "E", 1},
              {e.c_str(), ".", 1},   {sep.c_str(), ".", 0}, {sep.c_str(), "missing", 0}};
  for (const auto& k : dirs) {
    qnd d = entry();
    d.dir = k.dir;
    d.fd.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
    strcpy(d.fd.cFileName, k.name);
    RecordCapture log;
    EXPECT_EQ(p.test(d), k.want) << k.dir << " " << k.name;
  }
  EXPECT_EQ(results(p, entry, {0, 1, 1ULL << 32}), "100") << "files by their size";
  DeleteFileA(full.c_str());
  for (const char* sub : {"\\F", "\\E", ""}) RemoveDirectoryA((root + sub).c_str());
}

TEST_F(Qnex, UserReports) {
  const struct {
    void* (*ctor)(qnexp*, const char*, int*);
    const char* text;
    int code;
    const char* msg;
  } cases[] = {
      {qnex_size_new, "-k", 9003, "Invalid `-size': -k."},      {qnex_size_new, "<5", 9003, "Invalid `-size': <5."},
      {qnex_depth_new, "4294967296", 9003, "Invalid `-depth': 4294967296."},
      {qnex_mmin_new, "99999999999", 9003, "Invalid `-mmin': 99999999999."},
      {qnex_mtime_new, "4294967296", 9003, "Invalid `-mtime': 4294967296."},
      {qnex_depth_new, "abc", 9003, "Invalid `-depth': abc."},  {qnex_mmin_new, "+", 9003, "Invalid `-mmin': +."},
      {qnex_mtime_new, "-x1", 9003, "Invalid `-mtime': -x1."},
      {qnex_type_new, "D", 9003, "Invalid `-type': D."},        {qnex_ad_new, "yesterday", 9003, "Invalid `-ad': yesterday."},
      {qnex_bd_new, "<2017-02", 9003, "Invalid `-Bd': <2017-02."},
  };
  Ctx c(1);
  for (const auto& k : cases) {
    int err = 0;
    RecordCapture log;
    EXPECT_EQ(k.ctor(&c.q, k.text, &err), nullptr) << k.text;
    EXPECT_EQ(err, k.code) << k.text;
    EXPECT_EQ(qnex_take_reports(), std::vector<std::string>{"4 " + std::to_string(k.code) + " " + k.msg});
  }
  // no local time for "now"
  Ctx c0(1, -1);
  RecordCapture log;
  int err = 0;
  EXPECT_EQ(qnex_mmin_new(&c0.q, "1", &err), nullptr);
  EXPECT_EQ(err, 9001);
  EXPECT_EQ(qnex_md_new(&c0.q, "2017-02", &err), nullptr);
  EXPECT_EQ(err, 9001);
  EXPECT_TRUE(log.has("localtime() failed - ft: -1.")) << log.got;
  EXPECT_EQ(qnex_take_reports(), (std::vector<std::string>{"4 9001 Invalid `-md': 2017-02."}));
}

TEST_F(Qnex, ReportsComeFromTheTextStore) {
  txr tx{};
  ASSERT_EQ(txr_init(&tx, "de"), 0);
  ASSERT_EQ(txr_set(&tx, "Invalid `-size': %s.", "err.qnex", "de", "Ungueltige Groesse: %s.", 256), 0);
  ASSERT_EQ(txr_set(&tx, "Invalid `-type': %s.", "err.other", "de", "Falscher Typ: %s.", 256), 0);
  qnex_set_texts(&tx);
  Ctx c(1);
  EXPECT_EQ(qnex_size_new(&c.q, "1x", nullptr), nullptr);
  EXPECT_EQ(qnex_type_new(&c.q, "q", nullptr), nullptr);
  qnex_set_texts(nullptr);
  txr_free(&tx);
  EXPECT_EQ(qnex_take_reports(),
            (std::vector<std::string>{"4 9003 Ungueltige Groesse: 1x.", "4 9003 Invalid `-type': q."}));
}

TEST_F(Qnex, FreeAndMissingArguments) {
  Ctx c(1);
  void* all[] = {
      qnex_ad_new(&c.q, "2017", nullptr),   qnex_attr_new(&c.q, "r", nullptr),
      qnex_bd_new(&c.q, "2017", nullptr),   qnex_depth_new(&c.q, "1", nullptr),
      qnex_empty_new(&c.q, nullptr),        qnex_md_new(&c.q, "2017", nullptr),
      qnex_mmin_new(&c.q, "1", nullptr),    qnex_mtime_new(&c.q, "1", nullptr),
      qnex_name_new(&c.q, "*", 0, nullptr), qnex_path_new(&c.q, "*", PNM_DIR, nullptr),
      qnex_size_new(&c.q, "1", nullptr),    qnex_type_new(&c.q, "d", nullptr),
  };
  qnd d = entry();
  for (int i = 0; i < 12; i++) {
    qnex_pri* v = static_cast<qnex_pri*>(all[i]);
    ASSERT_NE(v, nullptr) << i;
    {
      RecordCapture log;
      EXPECT_EQ(v->head.u.test(nullptr, v) + v->head.u.test(&d, nullptr), 0) << i;
      EXPECT_TRUE(log.has("Invalid param - qnd: ")) << log.got;
    }
    EXPECT_EQ(qnex_free(v), 0) << i;
    free(v);
  }
  RecordCapture log;
  qnex_pri odd{};
  odd.valtype = 13;
  EXPECT_EQ(qnex_free(&odd), 9012);
  EXPECT_EQ(qnex_free(nullptr), 9003);
  int err = 0;
  EXPECT_EQ(qnex_md_new(nullptr, "2017", &err), nullptr);
  EXPECT_EQ(err, 9003);
  EXPECT_EQ(qnex_depth_new(&c.q, nullptr, nullptr), nullptr);
  EXPECT_EQ(qnex_name_new(nullptr, "*.c", 0, nullptr), nullptr);
  EXPECT_EQ(qnex_path_new(&c.q, nullptr, 0, nullptr), nullptr);
  for (const char* m : {"Unexpected valtype [13].", "`qnexp' is NUL.", ", nstr: `NUL'.", ", patt: `*.c'.", ", patt: `NUL'."})
    EXPECT_TRUE(log.has(m)) << m << "\n" << log.got;
}

}  // namespace
