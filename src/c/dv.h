// Delimited-value reader: returns the values of a delimited text one by one,
// strtok-style, without touching the text. The caller owns text and buffer.
#pragma once

struct dv {
  const char* strp;  // where reading continues; nullptr before the first text
  int quote;         // 0: plain; non-zero: double quotes and the escape character count
  char esc;          // escape character in quoting mode; 0 selects '\\'
  char* val;         // value buffer
  unsigned valsize;  // its size
  int err;           // code of the last call: 0, or why it returned nullptr early
};

// Clears the record and stores the mode and the buffer.
int dv_init(dv* dv, int quote, char esc, char* val, unsigned valsize);
// The next value (in dv->val), or nullptr at the end or on failure (dv->err then
// holds the code). str starts a new reading, nullptr continues the last one.
// Plain mode cuts an overlong value at the buffer size; quoting mode fails (9005).
const char* dv_next(dv* dv, const char* str, const char* delim);
