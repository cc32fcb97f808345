#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "c/cmdparser.h"
#include "ds/list.h"
#include "quarn/quarncfg.h"
#include "quarn/quarnlib.h"

namespace {

// Parses the words as the console does (program name first) and loads the settings.
struct Loaded {
  quarncfg cfg;
  cmdp cp;
  int rc;
  explicit Loaded(std::vector<const char*> words, const char* env = nullptr) {
    quarncfg_init(&cfg);
    cmdp_clear(&cp);
    cmdp_init(&cp);
    if (env) cmdp_parse_str(&cp, env, 2, nullptr);
    words.insert(words.begin(), "quarn");
    cmdp_parse_argv(&cp, (int)words.size(), words.data());
    rc = quarncfg_load(&cfg, &cp);
  }
  ~Loaded() {
    quarncfg_free(&cfg);
    cmdp_free(&cp);
  }
  std::vector<std::string> paths() const {
    std::vector<std::string> v;
    for (list_node* n = list_first(&cfg.paths); n; n = list_next(n))
      v.push_back(*static_cast<char* const*>(list_data(n)));
    return v;
  }
  std::string expr() const { return cfg.expr ? cfg.expr : "<none>"; }
  const diserr& de() const { return *reinterpret_cast<const diserr*>(cfg.diserr); }
};

TEST(QuarncfgDefaults, NoOptions) {
  Loaded l({"src"});
  ASSERT_EQ(l.rc, 0);
  EXPECT_EQ(l.cfg.file_type, 0);
  EXPECT_EQ(l.cfg.ignorecase, 1);
  EXPECT_EQ(l.cfg.post_order, 0);
  EXPECT_EQ(l.cfg.realpath, 0);
  EXPECT_EQ(l.de().op, 0u);
  EXPECT_EQ(l.de().code, 0);
  EXPECT_EQ(l.cfg.lang, nullptr);
  ASSERT_NE(l.cfg.tfmts, nullptr);
  EXPECT_STREQ(l.cfg.tfmts, "iso-d-e-ccyy_mm*,iso-dt-e-*,unix-dt-*");
  EXPECT_EQ(l.expr(), "<none>");
}

TEST(QuarncfgOptions, BareAndValued) {
  Loaded l({"-file-type", "-ignorecase:no", "-post-order:Yes", "-realpath:1", "-lang:de-CH", "x"});
  ASSERT_EQ(l.rc, 0);
  EXPECT_EQ(l.cfg.file_type, 1);
  EXPECT_EQ(l.cfg.ignorecase, 0);
  EXPECT_EQ(l.cfg.post_order, 1);
  EXPECT_EQ(l.cfg.realpath, 1);
  EXPECT_STREQ(l.cfg.lang, "de-CH");
}

TEST(QuarncfgOptions, DisableErrForms) {
  struct Case {
    const char* word;
    unsigned op;
    int code;
  } cases[] = {{"-disable-err:2", 0, 2}, {"-disable-err:+4", 3, 4}, {"-disable-err:-4", 1, 4},
               {"-disable-err:4-", 0, -4}};
  for (const Case& c : cases) {
    Loaded l({c.word, "x"});
    ASSERT_EQ(l.rc, 0) << c.word;
    EXPECT_EQ(l.de().op, c.op) << c.word;
    EXPECT_EQ(l.de().code, c.code) << c.word;
  }
}

TEST(QuarncfgOptions, BooleanTexts) {
  // any text that does not read as true is false, not an error
  Loaded maybe({"-post-order:maybe", "x"});
  EXPECT_EQ(maybe.rc, 0);
  EXPECT_EQ(maybe.cfg.post_order, 0);
  Loaded on({"-post-order:On", "-realpath:true", "x"});
  EXPECT_EQ(on.cfg.post_order, 1);
  EXPECT_EQ(on.cfg.realpath, 1);
}

TEST(QuarncfgOptions, DisableErrOutOfRangeFails) {
  EXPECT_NE(Loaded({"-disable-err:99999999999", "x"}).rc, 0);
}

TEST(QuarncfgOptions, EnvironmentWordsComeFirst) {
  Loaded l({"-post-order:no", "x"}, "-post-order:yes");
  ASSERT_EQ(l.rc, 0);
  EXPECT_EQ(l.cfg.post_order, 1);
}

TEST(QuarncfgPaths, OperandsExceptExpressionOperands) {
  Loaded l({"a", "(", "b*", "!", ")", "-name:x", "c d"});
  ASSERT_EQ(l.rc, 0);
  EXPECT_EQ(l.paths(), (std::vector<std::string>{"a", "b*", "c d"}));
}

TEST(QuarncfgPaths, NoneGiven) {
  Loaded l({"-name:x"});
  ASSERT_EQ(l.rc, 0);
  EXPECT_TRUE(l.paths().empty());
}

TEST(QuarncfgExpr, PrimariesAndOperatorsJoined) {
  Loaded l({"src", "-name:*.c", "-size:+10k", "-o", "(", "-type:d", ")", "!", "-empty", "-and", "-a", "-or"});
  ASSERT_EQ(l.rc, 0);
  EXPECT_EQ(l.expr(), "-name:*.c\n-size:+10k\n-o\n(\n-type:d\n)\n!\n-empty\n-and\n-a\n-or\n");
}

TEST(QuarncfgExpr, ToolOptionsAndWrongCaseStayOut) {
  Loaded l({"-Name:x", "-ignorecase:no", "-NAME:y", "-md:2017-02", "-Bd:+2020", "-ver", "p"});
  ASSERT_EQ(l.rc, 0);
  EXPECT_EQ(l.expr(), "-md:2017-02\n-Bd:+2020\n");
}

TEST(QuarncfgExpr, ValueKeepsItsColonsBlanksAndFinalBackslash) {
  // a line feed parts the words, so a final backslash cannot escape the next word
  Loaded l({"-path:C:\\src\\", "-name:a b", "-type:f"});
  ASSERT_EQ(l.rc, 0);
  EXPECT_EQ(l.expr(), "-path:C:\\src\\\n-name:a b\n-type:f\n");
}

TEST(QuarncfgRefusals, EmptyPathLongExpressionAndCodeWithoutNumber) {
  EXPECT_EQ(Loaded({"a", ""}).rc, 9010);
  const std::string word = "-name:" + std::string(1000, 'x');
  std::vector<const char*> words{"a"};
  for (int i = 0; i < 8; i++) words.push_back(word.c_str());
  EXPECT_EQ(Loaded(words).rc, 0) << "8 words of 1007 characters fit";
  words.push_back(word.c_str());
  EXPECT_EQ(Loaded(words).rc, 9009);
  for (const char* v : {"-disable-err:abc", "-disable-err:+", "-disable-err:99999999999"})
    EXPECT_EQ(Loaded({"a", v}).rc, 9003) << v;
  Loaded ok({"a", "-disable-err:+4-"});
  ASSERT_EQ(ok.rc, 0);
  EXPECT_EQ(ok.de().code, -4);
}

TEST(QuarncfgExpr, FirstWordOfTheEnvironmentIsTheProgramSlot) {
  // parsing starts at the second entry, so a primary that stands first is not taken
  quarncfg cfg;
  cmdp cp;
  quarncfg_init(&cfg);
  cmdp_clear(&cp);
  cmdp_init(&cp);
  cmdp_parse_str(&cp, "-name:a -name:b", 2, nullptr);
  const char* argv[] = {"quarn", "x"};
  cmdp_parse_argv(&cp, 2, argv);
  ASSERT_EQ(quarncfg_load(&cfg, &cp), 0);
  EXPECT_STREQ(cfg.expr, "-name:b\n");
  quarncfg_free(&cfg);
  cmdp_free(&cp);
}

TEST(QuarncfgPaths, OperandOfTheEnvironmentTakesTheProgramSlot) {
  Loaded l({"x"}, "stray");
  ASSERT_EQ(l.rc, 0);
  EXPECT_EQ(l.paths(), (std::vector<std::string>{"quarn", "x"}));
}

TEST(QuarncfgArgs, NullRecords) {
  cmdp cp;
  cmdp_clear(&cp);
  EXPECT_EQ(quarncfg_init(nullptr), 9003);
  EXPECT_EQ(quarncfg_load(nullptr, &cp), 9003);
  quarncfg cfg;
  quarncfg_init(&cfg);
  EXPECT_EQ(quarncfg_get(&cfg, nullptr), 9003);
}

}  // namespace
