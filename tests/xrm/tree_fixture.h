// Test support for the loaders of command lists, layouts and menus: a manager whose first
// caller word is a text store, one database filled from resource text or from the built-in
// files, and a check that the manager's mutex is free again.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "quarnw/resimg.h"
#include "txr/txr.h"
#include "txr/txr_load.h"
#include "xrm/xrm.h"
#include "xrm/xrm_load.h"
#include "xrm/xrm_tree.h"

class TreeDb : public ::testing::Test {
 protected:
  void SetUp() override {
    txr_clear(&tx_);
    ASSERT_EQ(txr_init(&tx_, "en"), 0);
    ASSERT_EQ(xrm_init(&x_, "quarnw", "moxware", "u", &tx_, nullptr), 0);
    d_ = xrm_db_new(&x_);
    ASSERT_NE(d_, nullptr);
  }
  void TearDown() override {
    xrm_free(&x_);
    txr_free(&tx_);
  }
  void load(const std::string& text) {
    xrml l;
    xrml_init(&l);
    ASSERT_EQ(xrml_load_data(&l, d_, text.data(), (unsigned)text.size()), 0) << l.errtext;
    xrml_free(&l);
  }
  // One resource stored as given (no file limits on its length).
  void put(const std::string& spec, const std::string& value) {
    ASSERT_EQ(xrm_put(d_, spec.c_str(), 0, value.c_str()), 0) << spec;
  }
  // The program's own files: resources and English texts.
  void load_builtin() {
    xrml l;
    xrml_init(&l);
    ASSERT_EQ(xrml_load_data(&l, d_, quarnw_xrm_img, quarnw_xrm_img_size), 0) << l.errtext;
    xrml_free(&l);
    txrl tl;
    txrl_clear(&tl);
    ASSERT_EQ(txrl_load_data(&tl, &tx_, quarnw_txr_img, quarnw_txr_img_size), 0);
    txrl_clear(&tl);
  }
  // Another thread gets the manager's mutex at once.
  bool mutex_free() {
    int code = -1;
    std::thread t([&] {
      code = xrm_lock(d_);
      if (code == 0) xrm_unlock(d_);
    });
    t.join();
    return code == 0;
  }
  // Runs load while another thread holds the manager's mutex past the loader's limit.
  template <typename F>
  int while_locked(F load) {
    std::atomic<bool> held{false}, release{false};
    std::thread t([&] {
      if (xrm_lock(d_) != 0) return;
      held = true;
      while (!release) std::this_thread::yield();
      xrm_unlock(d_);
    });
    while (!held) std::this_thread::yield();
    int e = load();
    release = true;
    t.join();
    return e;
  }
  txr tx_{};
  xrm x_{};
  db* d_ = nullptr;
};

// The command numbers of the windowed program, as menus are built with them.
inline constexpr xrm_idmap kCmdIds[] = {
    {"exDel", 1013},        {"about", 40001},       {"exit", 40031},        {"fattrib", 40035},
    {"fcols", 40022},       {"fcp", 40004},         {"fcpcmdln", 40040},    {"fcpto", 40032},
    {"fcut", 40005},
    {"fdel", 40034},        {"fedit", 40027},       {"fexec", 40036},       {"ffilt", 40038},
    {"fgrpdir1st", 40020},  {"finf", 40037},        {"fmvto", 40033},       {"fopen", 40028},
    {"fopenas", 40029},     {"fopendir", 40030},    {"fpathdir1st", 40021}, {"fsave", 40039},
    {"fsortByAd", 40012},
    {"fsortByAttr", 40016}, {"fsortByBd", 40013},   {"fsortByDir", 40009},  {"fsortByErr", 40026},
    {"fsortByExt", 40011},  {"fsortByMd", 40014},   {"fsortByName", 40010}, {"fsortByPath", 40023},
    {"fsortByRPath", 40024}, {"fsortBySize", 40015}, {"fsortIgnorecase", 40019}, {"fsortrev", 40017},
    {"fUnsort", 40018},     {"man", 40003},         {"uerr", 40025},        {"vwCmd", 40008},
    {"vwExt", 40007},       {"vwStd", 40006}};
inline constexpr unsigned kNCmdIds = sizeof kCmdIds / sizeof kCmdIds[0];
