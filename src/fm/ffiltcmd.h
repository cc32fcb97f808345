// The texts around a filter command: the command made from the filter line, the output
// files from the "Output to:" field, and the Path field's text from dropped files.
#pragma once

enum : unsigned { FFILT_CMDSIZE = 32768, FFILT_FILESIZE = 4096 };

// Looks up the resource name (for example "ffiltCmdln.grep"): 0 with its value in buf,
// 9006 when there is none.
typedef int (*ffilt_lookup_cb)(const char* name, char* buf, unsigned bufsize, void* usrdata);

// The command from the filter line: "!name rest" takes the resource ffiltCmdln.name followed
// by " rest", or the line without its "!" when there is none; any other line gets the
// prefix and a blank in front when a prefix is given. lookup may be null (never found).
int ffilt_cmd(const char* cmdln, const char* prefix, ffilt_lookup_cb lookup, void* usrdata, char* buf,
              unsigned bufsize);

struct ffilt_out {
  char out[FFILT_FILESIZE];  // standard output, "" none
  char err[FFILT_FILESIZE];  // standard error, "" the same as out
  int append;
};

// Reads "FILE [-err:FILE] [-append]" (aliases -e, -a); 9010 when no file is named.
int ffilt_out_parse(const char* field, ffilt_out* o);

// 1 when path names a directory.
typedef int (*ffilt_isdir_cb)(const char* path, void* usrdata);

// The Path field after files were dropped on it: each file replaced by its directory,
// quoted where needed, each path once (ignorecase: without case), joined by blanks.
// append: after the words of cur, which count as present; else cur is replaced.
int ffilt_drop_text(const char* cur, const char* const* files, unsigned nfiles, ffilt_isdir_cb isdir,
                    void* usrdata, int ignorecase, int append, char* buf, unsigned bufsize);

struct ffiltdlgcfg;
struct db;

// What a search hands the engine from the filter dialog.
struct ffiltjob {
  char cmd[FFILT_CMDSIZE];  // "" no filter
  ffilt_out out;            // files only with "Output to:" ticked
};

// The job from the dialog's settings (line, prefix, output box and field). 9010 when the
// output box is ticked and no file is named; the job is then empty.
int ffilt_prepare(const ffiltdlgcfg* c, ffilt_lookup_cb lookup, void* usrdata, ffiltjob* job);
// A lookup in a resource database (usrdata: the db), names under the application name.
int ffilt_xrm_lookup(const char* name, char* buf, unsigned bufsize, void* usrdata);
