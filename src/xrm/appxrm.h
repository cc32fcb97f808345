// The windowed program's resources: a manager with the main database (built-in
// defaults, configuration file, user file) and the user database that mirrors
// every resource stored in the main one after start-up, saved to the user file.
#pragma once

#include "xrm/xrm.h"

struct appxrm {
  xrm mgr;
  db* maindb;
  db* usrdb;
  char* cfg;     // configuration file name, owned
  char* usrcfg;  // user configuration file name, owned
};

// data/datasize: the built-in (bzip2) resource image; cfgdir, cfg, usrcfg optional.
int appxrm_init(appxrm* a, const char* app, const char* com, const char* usrname, void* w1, const void* data,
                unsigned datasize, const char* cfgdir, const char* cfg, const char* usrcfg);
// Writes the user database to the user file through a temporary file beside it.
int appxrm_save(appxrm* a);
void appxrm_free(appxrm* a);
