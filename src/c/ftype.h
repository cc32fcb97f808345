// The type of a file's content from its first bytes.
#pragma once

enum {
  MOX_FTYPE_UNKNOWN = -1,
  MOX_FTYPE_BMP = 1,
  MOX_FTYPE_BZIP2 = 2,
  MOX_FTYPE_GZIP = 3,
  MOX_FTYPE_JPEG = 4,
  MOX_FTYPE_PNG = 5
};

int mox_ftype(const void* buf, unsigned size);
