#include "Processors.h"

#ifdef __linux__
#include <sched.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <thread>

namespace mibolan {

unsigned UsableProcessors() {
#ifdef __linux__
  cpu_set_t set;
  CPU_ZERO(&set);
  if (sched_getaffinity(0, sizeof set, &set) == 0) return static_cast<unsigned>(CPU_COUNT(&set));
#endif
  return std::thread::hardware_concurrency();
}

unsigned ThreadsFor(const ConversionOptions& options) {
  const unsigned usable = std::max(UsableProcessors(), 1U);
  return options.threads == 0 ? usable : std::min(options.threads, usable);
}

int CurrentProcessor() {
#ifdef __linux__
  return sched_getcpu();
#else
  return -1;
#endif
}

void StayOffProcessor(int processor) {
#ifdef __linux__
  cpu_set_t set;
  CPU_ZERO(&set);
  if (processor < 0 || processor >= CPU_SETSIZE || sched_getaffinity(getpid(), sizeof set, &set) != 0) return;
  CPU_CLR(static_cast<std::size_t>(processor), &set);
  if (CPU_COUNT(&set) > 0) sched_setaffinity(0, sizeof set, &set);
#else
  (void)processor;
#endif
}

}  // namespace mibolan
