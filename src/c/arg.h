// Argument words: a text split the way a command shell would, with delimiters, single and
// double quotes, optional backslash escapes and line continuations, optional ${NAME}.
#pragma once

enum : unsigned {
  ARG_F_ESC = 1u,  // backslash escapes and line continuations
  ARG_F_VAR = 2u   // ${NAME} replaced by the environment variable NAME
};

struct arg {
  unsigned flags;
  int argc;
  char** argv;        // argc words, then nullptr
  unsigned capacity;  // entries allocated in argv
  char* delims;
  unsigned wsize;     // longest word + 1
  unsigned growth;
  char* wbuf;         // wsize + 1 bytes
};

int arg_clear(arg* a);
int arg_free(arg* a);
// delims nullptr selects " \t\r\n", wsize 0 selects 1024, growth 0 selects 64.
int arg_init(arg* a, unsigned flags, const char* delims, unsigned wsize, unsigned growth);
// Appends the words of text; nullptr or "" appends nothing.
int arg_split(arg* a, const char* text);
int arg_split_n(arg* a, const char* text, unsigned len);

// The one place the environment is read (also for $(NAME) macros); nullptr when undefined.
const char* arg_getenv(const char* name);
