// The shared library is the core library plus its entry function. The entry function
// lives in the static core library; the build asks the linker to keep it (-u), since
// it pulls members of a static library only on demand.
#include "plugin/PluginEntry.h"
