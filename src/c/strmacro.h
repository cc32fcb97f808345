// $(NAME) macros in a text buffer, replaced in place by environment variables.
#pragma once

enum : unsigned {
  STRMACRO_NAME_MAX = 255,  // longest macro name
  STRMACRO_DEPTH_MAX = 16   // macros nested inside values of macros
};

// Replaces every $(NAME) in str (a buffer of strsize bytes); values holding macros are
// expanded too. Returns 0; 9005 when a value does not fit; 9009 for a name longer than
// STRMACRO_NAME_MAX or nesting deeper than STRMACRO_DEPTH_MAX; 9001 for a macro that
// refers to itself through its own value. On failure the text stays as it was from the
// failing macro on.
int strmacro_expand(char* str, unsigned strsize);
