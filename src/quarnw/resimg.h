#ifndef QUARNW_RESIMG_H
#define QUARNW_RESIMG_H
// The built-in default resource file and English text file (res/), bzip2 images
// linked into the programs that load them.
extern const unsigned char quarnw_xrm_img[];
extern const unsigned quarnw_xrm_img_size;
extern const unsigned char quarnw_txr_img[];
extern const unsigned quarnw_txr_img_size;
#endif
