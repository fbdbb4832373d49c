#pragma once

namespace mibolan {

// How many processors this process may run on: the machine's, less those that its CPU affinity
// leaves out (a container's CPU set, `taskset`). ConvertText takes a second thread for a long
// text only when there are two or more; on one, two threads would take turns and gain nothing.
unsigned UsableProcessors();

}  // namespace mibolan
