// The console command line that repeats a search of the find dialog: the Path field's
// words, the fields' expression with the comparisons in the console's signed form, and
// the options in force that change what is found.
#pragma once

struct diserr;

enum : unsigned { QNCMDLN_SIZE = 16384 };

struct qncmdln_src {
  const char* paths;  // the Path field
  const char* md;     // the Modified, Size and Name fields
  const char* size;
  const char* name;
  int ignorecase;
  const diserr* de;   // the disable-err record in force, or none
};

// One word as the system's command-line reader gives it back: in double quotes when it
// is empty or holds a blank, a quote or a character the command interpreter would take.
int qncmdln_quote(const char* word, char* buf, unsigned bufsize);

// One expression word of the relational form in the signed form: "-size:>10k" is
// "-size:+10k", "<" gives '-'; ">=" and "<=", which have no signed form, become the
// negation of the opposite comparison: "! -size:-10k", "! -size:+10k". Other words are
// copied. The words are parted by one blank.
int qncmdln_signed(const char* word, char* buf, unsigned bufsize);

// The whole command line, starting with "quarn".
int qncmdln_build(const qncmdln_src* src, char* buf, unsigned bufsize);
