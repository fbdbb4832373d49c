#pragma once

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace mibolan {

// Catches one converter used from two threads at once, which would mix up its state: each call
// holds its object's ExclusiveUse for as long as it runs, and in a build without NDEBUG a call
// that comes while another one runs aborts the program with a message naming the class. A build
// with NDEBUG checks nothing and costs nothing. Copies and moves start out unused.
class ExclusiveUse {
 public:
  ExclusiveUse() = default;
  ExclusiveUse(const ExclusiveUse&) noexcept {}
  ExclusiveUse& operator=(const ExclusiveUse&) noexcept { return *this; }

  class Call {
   public:
#ifdef NDEBUG
    Call(ExclusiveUse&, const char*) {}
#else
    Call(ExclusiveUse& use, const char* className) : use_(use) {
      if (use_.inUse_.exchange(true, std::memory_order_acquire)) {
        std::fprintf(stderr, "mibolan: one %s used from two threads at once; give each thread its own\n", className);
        std::abort();
      }
    }
    ~Call() { use_.inUse_.store(false, std::memory_order_release); }

   private:
    ExclusiveUse& use_;
#endif
    Call(const Call&) = delete;
    Call& operator=(const Call&) = delete;
  };

 private:
  // Kept in every build, so that the classes that hold it have one layout whatever NDEBUG says.
  [[maybe_unused]] std::atomic<bool> inUse_{false};
};

}  // namespace mibolan
