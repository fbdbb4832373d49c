#pragma once

#include <mibolan/Options.h>

namespace mibolan {

// How many processors this process may run on: the machine's, less those that its CPU affinity
// leaves out (a container's CPU set, `taskset`).
unsigned UsableProcessors();

// How many threads a conversion with `options` may use: what the options allow, and no more than
// there are usable processors (on one, two threads would take turns and gain nothing).
unsigned ThreadsFor(const ConversionOptions& options);

// The processor that the calling thread runs on, or -1 where the system cannot tell.
int CurrentProcessor();

// Lets the calling thread run on the processors that the process's first thread may use, less
// `processor` (unless it is the only one): for a helper, off the processor of the thread it
// helps. Woken by that thread, the system tends to put it there, and when another process holds
// the other processors the two then only take turns, more slowly than one thread alone.
void StayOffProcessor(int processor);

}  // namespace mibolan
