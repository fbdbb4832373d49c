// Output to a pipe goes through a larger pipe buffer where the system grants one, so that the
// converter does not wait for its reader at every block; where it does not, nothing changes.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include "OutputSink.h"

namespace mibolan::cli {
namespace {

TEST(OutputSink, WidensThePipeItWritesTo) {
  int probe[2];
  int output[2];
  ASSERT_EQ(::pipe(probe), 0);
  ASSERT_EQ(::pipe(output), 0);
  const int before = ::fcntl(output[1], F_GETPIPE_SZ);
  const bool granted = ::fcntl(probe[1], F_SETPIPE_SZ, 1 << 20) >= 0;  // what this system allows
  const OutputSink sink(OutputSink::Pace::Blocks, output[1]);
  EXPECT_EQ(::fcntl(output[1], F_GETPIPE_SZ), granted ? 1 << 20 : before);
  for (int fd : {probe[0], probe[1], output[0], output[1]}) ::close(fd);
}

}  // namespace
}  // namespace mibolan::cli
