// The attributes a change sets and the mask of those it touches, from the Cmd text
// ("+r -h", attrib style) or from the three-state boxes of the dialog.
#pragma once

enum : unsigned { FATTR_RO = 0x1, FATTR_HIDDEN = 0x2, FATTR_ARCHIVE = 0x20 };
// Box states: unchecked (clear), checked (set), indeterminate (leave as it is).
enum { FATTR_BOX_OFF = 0, FATTR_BOX_ON = 1, FATTR_BOX_KEEP = 2 };

// Words of a sign and letters r, h, a (any case), blank or comma separated: "+r", "-ha".
// An empty text changes nothing. A bad word: 9012, *bad (when given) points at it.
int fattr_parse(const char* cmd, unsigned* set, unsigned* mask, const char** bad);
// The change the boxes of read-only, hidden and archive ask for.
void fattr_of_boxes(int ro, int hidden, int archive, unsigned* set, unsigned* mask);
// The box state that shows bit over n attribute words: on when all have it, off when
// none has it, keep when they differ (and when there are none).
int fattr_box_of(const unsigned* attrs, unsigned n, unsigned bit);
// The attributes after the change.
inline unsigned fattr_apply(unsigned cur, unsigned set, unsigned mask) { return (set & mask) | (cur & ~mask); }
