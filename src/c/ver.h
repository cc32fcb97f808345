// Version record of a program and its printed forms.
#pragma once

struct ver_pair {
  const char* label;
  const char* value;
};

struct ver_info {
  const char* marker;  // "VERINFO: name version (platform) date time", findable in the file
  const char* name;
  unsigned short major, minor, patch;
  unsigned long build;
  const char* platform;
  const char* processor;
  const char* date;  // yyyy-mm-dd
  const char* time;  // hh:mm:ss
  const char* product;
  const char* description;
  const char* copyright;
  const char* company;
  const char* vendor;  // never printed
  const char* web;
  const char* trademarks;
  const char* computer;
  const char* userid;
  const char* target;
  const char* system;
  const char* os;
  const char* compiler;
  const char* linker;
  const char* comments;
  const ver_pair* extra;  // ended by an entry with a null label; may be null
};

// The record of the program being linked; the build generates it.
extern const ver_info app_ver;

char* ver_text(const ver_info* ver, const char* selector, const char* separator, char* buf, unsigned bufsize,
               int* err);
int ver_print(const ver_info* ver, const char* selector, const char* dest);
