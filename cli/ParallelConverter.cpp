#include "ParallelConverter.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <system_error>

#include "Processors.h"

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
  secondThreadDropped_.store(true);
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
    piece.number = queued_;
    piece.state = State::Waiting;
    firstThreadProcessor_ = CurrentProcessor();
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
  if (!piece.bytes) {
    piece.bytes = std::make_unique_for_overwrite<char[]>(pieceSize_);
  } else {
    // The second thread may still be reading a piece that was taken back and delivered.
    const std::lock_guard lock(mutex_);
    if (piece.bytes.get() == secondThreadBytes_) {
      if (!spare_) spare_ = std::make_unique_for_overwrite<char[]>(pieceSize_);
      std::swap(piece.bytes, spare_);
    }
  }
  std::memcpy(piece.bytes.get(), carried, size);
  piece.size = size;
  piece.offset = offset;
}

// The oldest piece that waits for a thread, if any; the mutex held.
ParallelConverter::Piece* ParallelConverter::OldestWaiting() {
  for (std::uint64_t number = delivered_; number < queued_; ++number) {
    if (At(number).state == State::Waiting) return &At(number);
  }
  return nullptr;
}

// Makes a queued piece's result ready without waiting for the second thread: while it converts
// the piece, this thread converts a later one, and when none is left, this one again.
void ParallelConverter::MakeReady(Piece& piece) {
  std::unique_lock lock(mutex_);
  while (piece.state != State::Done) {
    if (piece.state == State::Waiting) {
      ConvertHere(piece, lock);
    } else if (Piece* later = OldestWaiting()) {
      ConvertHere(*later, lock);
    } else {
      piece.onSecondThread = false;
      secondThreadDropped_.store(true);
      ConvertHere(piece, lock);
    }
  }
}

// Converts a piece on this thread, the mutex released meanwhile.
void ParallelConverter::ConvertHere(Piece& piece, std::unique_lock<std::mutex>& lock) {
  piece.state = State::Converting;
  lock.unlock();
  static const std::atomic<bool> kNeverDropped{false};
  Convert(piece.bytes.get(), piece.size, piece.offset, piece.result, kNeverDropped);
  lock.lock();
  piece.state = State::Done;
}

// Delivers the pieces that are converted, in order, up to the first that is not.
void ParallelConverter::DeliverReady(OutputSink& output) {
  while (delivered_ < queued_) {
    Piece& piece = At(delivered_);
    {
      const std::lock_guard lock(mutex_);
      if (piece.state != State::Done) return;
    }
    Deliver(piece, output);
  }
}

// Delivers every queued piece before `end` (all of them by default).
void ParallelConverter::DeliverAll(OutputSink& output, std::uint64_t end) {
  end = std::min(end, queued_);
  while (delivered_ < end) {
    Piece& piece = At(delivered_);
    MakeReady(piece);
    Deliver(piece, output);
  }
}

// Writes a converted piece's output; the first piece with an error ends the text there.
void ParallelConverter::Deliver(Piece& piece, OutputSink& output) {
  {
    const std::lock_guard lock(mutex_);
    piece.state = State::Filling;
    ++delivered_;
  }
  if (failed_) return;
  output.Write(piece.result.output);
  endsWithLineFeed_ = piece.result.endsWithLineFeed;
  if (!piece.result.ok) Fail(piece.result.errorOffset, piece.result.truncated);
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

// Converts one piece, `size` bytes at `offset` in the text, as the part of the text that starts
// there; stops early once `dropped`, when its result is not wanted.
void ParallelConverter::Convert(const char* bytes, std::size_t size, std::uint64_t offset, Result& result,
                                const std::atomic<bool>& dropped) const {
  Utf8Converter converter(options_, offset);
  result.output.clear();
  bool fed = true;
  for (std::size_t at = 0; fed && at < size && !dropped.load(std::memory_order_relaxed); at += kFeedSize) {
    fed = converter.Feed(std::string_view(bytes + at, std::min(kFeedSize, size - at)), result.output);
  }
  const bool finished = converter.Finish(result.output);
  result.ok = fed && finished;
  result.truncated = fed && converter.Truncated();
  result.errorOffset = converter.ErrorOffset();
  result.endsWithLineFeed = converter.EndsWithLineFeed();
}

// The second thread: converts waiting pieces, oldest first, and hands over the result of each
// that this thread has not taken back meanwhile.
void ParallelConverter::Work() {
  int avoided = -1;
  std::unique_lock lock(mutex_);
  for (;;) {
    Piece* piece = nullptr;
    queuedMore_.wait(lock, [&] { return stop_ || (piece = OldestWaiting()) != nullptr; });
    if (stop_) return;
    piece->state = State::Converting;
    piece->onSecondThread = true;
    const std::uint64_t number = piece->number;
    const std::size_t size = piece->size;
    const std::uint64_t offset = piece->offset;
    const char* const bytes = piece->bytes.get();
    secondThreadBytes_ = bytes;
    secondThreadDropped_.store(false);
    const int firstThreadProcessor = firstThreadProcessor_;
    lock.unlock();
    if (firstThreadProcessor != avoided) {
      StayOffProcessor(firstThreadProcessor);
      avoided = firstThreadProcessor;
    }
    Convert(bytes, size, offset, secondThreadResult_, secondThreadDropped_);
    lock.lock();
    secondThreadBytes_ = nullptr;
    Piece& after = At(number);
    if (after.number == number && after.state == State::Converting && after.onSecondThread) {
      std::swap(after.result, secondThreadResult_);
      after.onSecondThread = false;
      after.state = State::Done;
    }
  }
}

}  // namespace mibolan::cli
