// Growable text buffer.
#pragma once

struct strbuf {
  char* str;      // owned; nullptr while nothing was appended
  unsigned size;  // capacity in bytes
  unsigned step;  // least growth
};

// Clears the record and sets the growth step (0 means 256); the record owns nothing yet.
int strbuf_init(strbuf* sb, unsigned step);
void strbuf_free(strbuf* sb);
void strbuf_clear(strbuf* sb);
// Appends text; on 9004 the text stays as it was. Returns the buffer's text.
char* strbuf_cat(strbuf* sb, const char* text, int* err = nullptr);
