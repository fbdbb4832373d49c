#include "Processors.h"

#ifdef __linux__
#include <sched.h>
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

}  // namespace mibolan
