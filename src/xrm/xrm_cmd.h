// Command lists from the resource database: name.ids lists the commands; for each id,
// name.id.cmdname, name.id.params and name.id.ncmdMax (class forms cls.Ids, cls.id.Cmdname...).
#pragma once

#include "cmd/cmd.h"
#include "xrm/xrm.h"

// Holds the manager's mutex for the whole load. A command whose definition is refused is
// logged and left out; a failed lookup other than a missing resource ends the load.
int xrm_cmd_load(db* d, const char* name, const char* cls, int qualify, cmdlist* l);
