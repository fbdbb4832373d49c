#pragma once

#include <atomic>
#include <cstddef>
#include <system_error>
#include <thread>
#include <vector>

namespace mibolan {

// Appends the parts [0, count) of a result to `out`, in order, each appended to a string by
// `write(part, string)`. This thread writes them from the first on, straight into `out`; with
// `helped`, a second thread writes them from the last one back, each into a string of its own,
// which this thread appends when it comes to it. This thread never waits for the helper: a part
// that the helper is still writing when this thread comes to it, it writes again itself, and the
// helper stops there. So a helper that gets no processor of its own (another process holds one)
// costs its thread's start and nothing more. `write` must be safe to call from both at once.
template <class Out, class Write>
void WriteParts(std::size_t count, bool helped, const Write& write, Out& out) {
  enum : unsigned char { kFree, kHelper, kHelperDone, kHere };
  std::vector<std::atomic<unsigned char>> states(count);
  std::vector<Out> written(count);
  std::thread helper;
  if (helped && count > 1) {
    try {
      helper = std::thread([&] {
        for (std::size_t part = count; part-- > 1;) {
          unsigned char free = kFree;
          if (!states[part].compare_exchange_strong(free, kHelper)) return;
          write(part, written[part]);
          unsigned char mine = kHelper;
          if (!states[part].compare_exchange_strong(mine, kHelperDone)) return;
        }
      });
    } catch (const std::system_error&) {
      // No thread to be had: this one writes every part.
    }
  }
  for (std::size_t part = 0; part < count; ++part) {
    unsigned char state = kFree;
    if (states[part].compare_exchange_strong(state, kHere) ||
        (state == kHelper && states[part].compare_exchange_strong(state, kHere))) {
      write(part, out);
    } else {
      out += written[part];  // kHelperDone, and so is every later part
    }
  }
  // The helper is at most in the middle of a part that this thread wrote again.
  if (helper.joinable()) helper.join();
}

}  // namespace mibolan
