// Test support: a fresh directory of the running test's own, and files written into it
// (names joined with sep), removed afterwards.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

struct TestDir {
  std::string dir;
  std::vector<std::string> files;
  char sep;
  TestDir(const char* prefix, char sep_) : sep(sep_) {
    char tmp[MAX_PATH];
    EXPECT_GT(GetTempPathA(sizeof tmp, tmp), 0u);
    dir = std::string(tmp) + prefix + std::to_string(GetCurrentProcessId()) + "_" +
          testing::UnitTest::GetInstance()->current_test_info()->name();
    EXPECT_TRUE(CreateDirectoryA(dir.c_str(), nullptr)) << dir;
  }
  ~TestDir() {
    for (const std::string& f : files) DeleteFileA(f.c_str());
    RemoveDirectoryA(dir.c_str());
  }
  std::string write(const std::string& name, const std::string& text) {
    std::string p = dir + sep + name;
    if (FILE* f = fopen(p.c_str(), "wb")) {
      fwrite(text.data(), 1, text.size(), f);
      fclose(f);
    }
    files.push_back(p);
    return p;
  }
};
