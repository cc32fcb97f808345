// Test support for the resource database: files and bzip2 images.
#pragma once

#include <bzlib.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

inline void write_file(const std::string& path, const std::string& text) {
  FILE* f = fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr) << path;
  fwrite(text.data(), 1, text.size(), f);
  fclose(f);
}

inline std::string read_file(const std::string& path) {
  std::string s;
  if (FILE* f = fopen(path.c_str(), "rb")) {
    char buf[4096];
    for (size_t n; (n = fread(buf, 1, sizeof buf, f)) > 0;) s.append(buf, n);
    fclose(f);
  }
  return s;
}

inline std::string bz2(const std::string& text, int block100k = 9) {
  std::vector<char> out(text.size() + text.size() / 100 + 700);
  unsigned n = (unsigned)out.size();
  EXPECT_EQ(BZ2_bzBuffToBuffCompress(out.data(), &n, const_cast<char*>(text.data()), (unsigned)text.size(),
                                     block100k, 0, 0),
            BZ_OK);
  return std::string(out.data(), n);
}
