// Client end of the error monitor's named pipe: one message per record.
#pragma once

struct errpipe {
  void* h;  // the pipe handle; invalid (-1) or null while not connected
};

// Marks the record as not connected.
void errpipe_clear(errpipe* pipe);
bool errpipe_is_open(const errpipe* pipe);

// Connects to the monitor, waiting up to waittimeout ms while all its instances are
// busy. 0 when connected, 2 when no monitor runs (silent), else the system code.
int errpipe_connect(errpipe* pipe, const char* name, unsigned long waittimeout);

// One write, one message. A failed write closes the pipe for good.
int errpipe_write(errpipe* pipe, const void* data, unsigned long size);

void errpipe_close(errpipe* pipe);
