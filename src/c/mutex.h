// Unnamed Win32 mutex with time-out; every abnormal outcome is logged and coded.
#pragma once

enum : unsigned long { MUTEX_INFINITE = 0xFFFFFFFFul };

struct mutex {
  void* h;  // the mutex handle; null while not created
};

// 9007 when the record already holds a handle (kept as it is).
int mutex_init(mutex* m);
// On a failed close the record keeps its handle.
int mutex_free(mutex* m);
// Forgets the handle without closing it.
void mutex_clear(mutex* m);
// 0 also when the previous owner ended holding it (logged); 9011 on time-out.
int mutex_lock(mutex* m, unsigned long timeout);
int mutex_unlock(mutex* m);
