#include "ParallelConverter.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <system_error>

#include "Walk.h"

namespace mibolan::cli {

namespace {

// A piece goes to its converter in parts of this size: what the converter keeps of each stays
// small and in the cache.
constexpr std::size_t kFeedSize = 1 << 14;

// The end of the last line that ends in `bytes`, or 0 when none does.
std::size_t EndOfLastLine(const char* bytes, std::size_t size) {
  const void* lineFeed = ::memrchr(bytes, '\n', size);
  return lineFeed == nullptr ? 0 : static_cast<std::size_t>(static_cast<const char*>(lineFeed) - bytes) + 1;
}

}  // namespace

PieceSizes PieceSizes::For(const ConversionOptions& options) {
  PieceSizes sizes;
  sizes.piece = ChooseWalk(options).partBytes;
  return sizes;
}

ParallelConverter::ParallelConverter(const ConversionOptions& options, PieceSizes sizes)
    : options_(options),
      pieceSize_(std::max<std::size_t>(sizes.piece, 1)),
      pieces_(std::max<std::size_t>(sizes.pieces, 2)) {
  At(0).bytes = std::make_unique_for_overwrite<char[]>(pieceSize_);
  try {
    worker_ = std::thread(&ParallelConverter::Work, this);
  } catch (const std::system_error&) {
    // Without a second thread this one converts every piece: it does whenever it would wait.
  }
}

ParallelConverter::~ParallelConverter() {
  {
    const std::lock_guard lock(mutex_);
    stop_ = true;
  }
  queuedMore_.notify_all();
  if (worker_.joinable()) worker_.join();
}

std::span<char> ParallelConverter::Room() {
  Piece& piece = At(queued_);
  return {piece.bytes.get() + piece.size, pieceSize_ - piece.size};
}

bool ParallelConverter::Feed(std::size_t size, OutputSink& output) {
  if (failed_) return false;
  Piece& piece = At(queued_);
  piece.size += size;
  if (longLine_) {
    FeedLongLine(output);
  } else if (piece.size == pieceSize_) {
    const std::size_t end = EndOfLastLine(piece.bytes.get(), piece.size);
    if (end == 0) {
      // The line goes on past the piece: it is converted here as it comes, after the pieces
      // before it.
      DeliverAll(output);
      if (!failed_) {
        longLine_.emplace(options_, piece.offset);
        FeedLongLine(output);
      }
    } else {
      Queue(end);
      StartPiece(piece.offset + end, piece.bytes.get() + end, pieceSize_ - end, output);
    }
  }
  DeliverReady(output);
  return !failed_;
}

bool ParallelConverter::Finish(OutputSink& output) {
  if (failed_) return false;
  if (longLine_) {
    FinishLongLine(At(queued_).size, output);
  } else {
    Queue(At(queued_).size);  // the last piece, even empty: it tells how the text ends
  }
  DeliverAll(output);
  return !failed_;
}

// Hands the piece being filled, its first `size` bytes, to the threads that convert.
void ParallelConverter::Queue(std::size_t size) {
  Piece& piece = At(queued_);
  piece.size = size;
  {
    const std::lock_guard lock(mutex_);
    piece.done = false;
    ++queued_;
  }
  queuedMore_.notify_one();
}

// Starts the next piece with the `size` bytes of the line that the last piece cut off, once the
// piece that had its place has been delivered.
void ParallelConverter::StartPiece(std::uint64_t offset, const char* carried, std::size_t size, OutputSink& output) {
  while (queued_ - delivered_ >= pieces_.size()) {
    DeliverAll(output, delivered_ + 1);
  }
  Piece& piece = At(queued_);
  if (!piece.bytes) piece.bytes = std::make_unique_for_overwrite<char[]>(pieceSize_);
  std::memcpy(piece.bytes.get(), carried, size);
  piece.size = size;
  piece.offset = offset;
}

namespace {

// A thread that waits for the other one usually waits less than converting a piece takes, while
// waking a thread that went to sleep costs about as much again (on virtual machines more): so a
// wait first looks again for a while, the mutex released, and only then sleeps.
constexpr int kSpins = 2000;  // about a hundred microseconds

void Pause() {
#if defined(__x86_64__) || defined(__i386__)
  __builtin_ia32_pause();
#endif
}

template <class Ready>
void SpinThenWait(std::unique_lock<std::mutex>& lock, std::condition_variable& condition, Ready&& ready) {
  for (int spin = 0; spin < kSpins && !ready(); ++spin) {
    lock.unlock();
    Pause();
    lock.lock();
  }
  condition.wait(lock, ready);
}

}  // namespace

// Converts a waiting piece on this thread, or else waits for the other thread to finish one.
void ParallelConverter::ConvertOrWait(std::unique_lock<std::mutex>& lock) {
  if (claimed_ == queued_) {
    const std::uint64_t converted = converted_;
    SpinThenWait(lock, convertedOne_, [&] { return converted_ != converted; });
    return;
  }
  ConvertOldestWaiting(lock);
}

// Claims the oldest waiting piece and converts it, the mutex released meanwhile.
void ParallelConverter::ConvertOldestWaiting(std::unique_lock<std::mutex>& lock) {
  Piece& piece = At(claimed_++);
  lock.unlock();
  Convert(piece);
  lock.lock();
  piece.done = true;
  ++converted_;
}

// Delivers the pieces that are converted, in order, up to the first that is not.
void ParallelConverter::DeliverReady(OutputSink& output) {
  while (delivered_ < queued_) {
    Piece& piece = At(delivered_);
    {
      const std::lock_guard lock(mutex_);
      if (!piece.done) return;
    }
    Deliver(piece, output);
  }
}

// Delivers every queued piece before `end` (all of them by default), converting some here
// while the other thread converts the rest.
void ParallelConverter::DeliverAll(OutputSink& output, std::uint64_t end) {
  end = std::min(end, queued_);
  while (delivered_ < end) {
    Piece& piece = At(delivered_);
    {
      std::unique_lock lock(mutex_);
      while (!piece.done) ConvertOrWait(lock);
    }
    Deliver(piece, output);
  }
}

// Writes a converted piece's output; the first piece with an error ends the text there.
void ParallelConverter::Deliver(Piece& piece, OutputSink& output) {
  ++delivered_;
  if (failed_) return;
  output.Write(piece.output);
  endsWithLineFeed_ = piece.endsWithLineFeed;
  if (!piece.ok) Fail(piece.errorOffset, piece.truncated);
}

void ParallelConverter::Fail(std::uint64_t offset, bool truncated) {
  failed_ = true;
  errorOffset_ = offset;
  truncated_ = truncated;
}

// Gives the long line what was read of it: up to its end when it ends here, the rest then
// starting a piece in the same place.
void ParallelConverter::FeedLongLine(OutputSink& output) {
  Piece& piece = At(queued_);
  char* const bytes = piece.bytes.get();
  const std::size_t end = EndOfLastLine(bytes, piece.size);
  if (end == 0) {
    if (!longLine_->Feed(std::string_view(bytes, piece.size), output.Buffer())) {
      longLine_->Finish(output.Buffer());  // what comes before the error is still converted
      endsWithLineFeed_ = longLine_->EndsWithLineFeed();
      Fail(longLine_->ErrorOffset(), false);
    }
    piece.offset += piece.size;
    piece.size = 0;
    return;
  }
  if (!FinishLongLine(end, output)) return;
  std::memmove(bytes, bytes + end, piece.size - end);
  piece.offset += end;
  piece.size -= end;
}

// Ends the long line with the first `size` bytes of the piece being filled.
bool ParallelConverter::FinishLongLine(std::size_t size, OutputSink& output) {
  const bool fed = longLine_->Feed(std::string_view(At(queued_).bytes.get(), size), output.Buffer());
  const bool finished = longLine_->Finish(output.Buffer());
  endsWithLineFeed_ = longLine_->EndsWithLineFeed();
  if (!fed || !finished) Fail(longLine_->ErrorOffset(), fed && longLine_->Truncated());
  longLine_.reset();
  return !failed_;
}

// Converts one piece as the part of the text that starts at its offset.
void ParallelConverter::Convert(Piece& piece) const {
  Utf8Converter converter(options_, piece.offset);
  piece.output.clear();
  bool fed = true;
  for (std::size_t at = 0; fed && at < piece.size; at += kFeedSize) {
    fed = converter.Feed(std::string_view(piece.bytes.get() + at, std::min(kFeedSize, piece.size - at)), piece.output);
  }
  const bool finished = converter.Finish(piece.output);
  piece.ok = fed && finished;
  piece.truncated = fed && converter.Truncated();
  piece.errorOffset = converter.ErrorOffset();
  piece.endsWithLineFeed = converter.EndsWithLineFeed();
}

// The second thread: converts waiting pieces, oldest first.
void ParallelConverter::Work() {
  std::unique_lock lock(mutex_);
  for (;;) {
    SpinThenWait(lock, queuedMore_, [this] { return stop_ || claimed_ < queued_; });
    if (stop_) return;
    ConvertOldestWaiting(lock);
    convertedOne_.notify_one();
  }
}

}  // namespace mibolan::cli
