#include "Processors.h"

#ifdef __linux__
#include <sched.h>
#endif

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

}  // namespace mibolan
