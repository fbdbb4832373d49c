#pragma once

#include <mibolan/Options.h>

namespace mibolan {

// How many processors this process may run on: the machine's, less those that its CPU affinity
// leaves out (a container's CPU set, `taskset`).
unsigned UsableProcessors();

// How many threads a conversion with `options` may use: what the options allow, and no more than
// there are usable processors (on one, two threads would take turns and gain nothing).
unsigned ThreadsFor(const ConversionOptions& options);

}  // namespace mibolan
