#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include <mibolan/Options.h>
#include <mibolan/Utf8Converter.h>

#include "OutputSink.h"

namespace mibolan::cli {

// How ParallelConverter cuts a text. Small pieces keep the memory that the pieces and their
// outputs touch small, in the cache beside the tables that converting reads: fresh pages and
// cache misses cost more than handing a piece from one thread to the other, by word as well.
struct PieceSizes {
  std::size_t piece = std::size_t{1} << 16;  // bytes read into a piece before it is cut after its last line feed
  std::size_t pieces = 4;                    // pieces read, being converted or waiting to be written, at most
};

// Converts a long UTF-8 text on two threads, with the output and the errors of one
// Utf8Converter on the whole text. The text is cut into pieces just after line feeds, which no
// reading looks across; this thread reads them and converts them, and a second thread takes
// waiting pieces, oldest first, as it gets a processor. This thread never waits for it: when the
// next piece to be written is still on the second thread, it converts a later waiting piece, or
// else that piece itself, and the second thread's copy is dropped. So when another process holds
// a processor the second thread costs nothing, and the outputs still come out in order. The
// second thread keeps off the processor where this thread last queued a piece, so that waking it
// does not set the two taking turns on one processor. A line longer than a piece is converted
// here, as it comes, by one converter. Memory stays within a few pieces and their outputs,
// whatever the size of the text.
//
// The text is read into the converter's own buffers: Room() says where the next bytes go, and
// Feed() takes those that were read there.
class ParallelConverter {
 public:
  explicit ParallelConverter(const ConversionOptions& options) : ParallelConverter(options, PieceSizes{}) {}
  ParallelConverter(const ConversionOptions& options, PieceSizes sizes);
  ~ParallelConverter();
  ParallelConverter(const ParallelConverter&) = delete;
  ParallelConverter& operator=(const ParallelConverter&) = delete;

  // Where the next bytes of the text are to be read; never empty.
  std::span<char> Room();

  // Takes the first `size` bytes of Room() and writes the output of the pieces converted so far.
  // False once the text has shown an ill-formed sequence; everything before it has been
  // converted.
  bool Feed(std::size_t size, OutputSink& output);

  // Ends the text and writes the rest of the output. False when the rest holds an ill-formed
  // sequence (Truncated() tells whether it is a character cut off by the end of the text).
  bool Finish(OutputSink& output);

  // Byte offset, from the start of the text, of the ill-formed sequence.
  std::uint64_t ErrorOffset() const { return errorOffset_; }
  bool Truncated() const { return truncated_; }

  // Whether the text converted so far ends with a line feed.
  bool EndsWithLineFeed() const { return endsWithLineFeed_; }

 private:
  // What converting a piece gives.
  struct Result {
    std::string output;
    bool ok = true;
    bool truncated = false;
    std::uint64_t errorOffset = 0;
    bool endsWithLineFeed = false;
  };

  enum class State {
    Filling,     // this thread reads into it
    Waiting,     // for a thread to convert it
    Converting,  // on this thread, or on the second one while `onSecondThread`
    Done,        // its result is ready
  };

  struct Piece {
    std::unique_ptr<char[]> bytes;
    std::size_t size = 0;      // bytes read into it
    std::uint64_t offset = 0;  // of bytes[0] in the text
    std::uint64_t number = 0;  // of the piece in the text
    State state = State::Filling;
    bool onSecondThread = false;
    Result result;
  };

  Piece& At(std::uint64_t number) { return pieces_[number % pieces_.size()]; }
  void Queue(std::size_t size);
  void StartPiece(std::uint64_t offset, const char* carried, std::size_t size, OutputSink& output);
  Piece* OldestWaiting();
  void MakeReady(Piece& piece);
  void ConvertHere(Piece& piece, std::unique_lock<std::mutex>& lock);
  void DeliverReady(OutputSink& output);
  void DeliverAll(OutputSink& output, std::uint64_t end = UINT64_MAX);
  void Deliver(Piece& piece, OutputSink& output);
  void Fail(std::uint64_t offset, bool truncated);
  void FeedLongLine(OutputSink& output);
  bool FinishLongLine(std::size_t size, OutputSink& output);
  void Convert(const char* bytes, std::size_t size, std::uint64_t offset, Result& result,
               const std::atomic<bool>& dropped) const;
  void Work();

  ConversionOptions options_;
  std::size_t pieceSize_;
  std::vector<Piece> pieces_;  // a ring: piece number n lives at n % size

  // Piece numbers: every piece before each is done with that step. This thread reads into
  // piece `queued_`; pieces [delivered_, queued_) are waiting, being converted or done. Only this
  // thread changes them, under the mutex, which also guards each piece's state.
  std::uint64_t delivered_ = 0;
  std::uint64_t queued_ = 0;
  bool stop_ = false;
  int firstThreadProcessor_ = -1;  // where this thread queued its last piece, which the second keeps off
  std::mutex mutex_;
  std::condition_variable queuedMore_;  // for the second thread

  // The second thread's piece: the bytes that it reads, which no piece may be read into
  // meanwhile, and its result, which it hands over unless the piece was taken back.
  const char* secondThreadBytes_ = nullptr;
  std::unique_ptr<char[]> spare_;  // a piece's bytes swapped out while the second thread reads them
  Result secondThreadResult_;
  std::atomic<bool> secondThreadDropped_{false};  // its piece was converted here: it may stop

  // A line longer than a piece, being converted on this thread as it comes.
  std::optional<Utf8Converter> longLine_;

  bool failed_ = false;
  bool truncated_ = false;
  std::uint64_t errorOffset_ = 0;
  bool endsWithLineFeed_ = false;

  std::thread worker_;  // last: it starts when everything else is ready
};

}  // namespace mibolan::cli
