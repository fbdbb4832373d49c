#pragma once

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
// outputs touch small: fresh pages cost more than handing a piece from one thread to the other.
struct PieceSizes {
  std::size_t piece = std::size_t{1} << 16;  // bytes read into a piece before it is cut after its last line feed
  std::size_t pieces = 4;                    // pieces read, being converted or waiting to be written, at most

  // The sizes for a conversion with these options: pieces of the size of part that the engine's
  // walk for them asks.
  static PieceSizes For(const ConversionOptions& options);
};

// Converts a long UTF-8 text on two threads, with the output and the errors of one
// Utf8Converter on the whole text. The text is cut into pieces just after line feeds, which no
// reading looks across; this thread reads them, the two threads convert them, each piece on its
// own, and their outputs come out in order. A line longer than a piece is converted here, as it
// comes, by one converter. Memory stays within a few pieces and their outputs, whatever the size
// of the text.
//
// The text is read into the converter's own buffers: Room() says where the next bytes go, and
// Feed() takes those that were read there.
class ParallelConverter {
 public:
  explicit ParallelConverter(const ConversionOptions& options) : ParallelConverter(options, PieceSizes::For(options)) {}
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
  struct Piece {
    std::unique_ptr<char[]> bytes;
    std::size_t size = 0;      // bytes read into it
    std::uint64_t offset = 0;  // of bytes[0] in the text
    bool done = false;         // converted, output ready
    std::string output;
    bool ok = true;
    bool truncated = false;
    std::uint64_t errorOffset = 0;
    bool endsWithLineFeed = false;
  };

  Piece& At(std::uint64_t number) { return pieces_[number % pieces_.size()]; }
  void Queue(std::size_t size);
  void StartPiece(std::uint64_t offset, const char* carried, std::size_t size, OutputSink& output);
  void ConvertOrWait(std::unique_lock<std::mutex>& lock);
  void ConvertOldestWaiting(std::unique_lock<std::mutex>& lock);
  void DeliverReady(OutputSink& output);
  void DeliverAll(OutputSink& output, std::uint64_t end = UINT64_MAX);
  void Deliver(Piece& piece, OutputSink& output);
  void Fail(std::uint64_t offset, bool truncated);
  void FeedLongLine(OutputSink& output);
  bool FinishLongLine(std::size_t size, OutputSink& output);
  void Convert(Piece& piece) const;
  void Work();

  ConversionOptions options_;
  std::size_t pieceSize_;
  std::vector<Piece> pieces_;  // a ring: piece number n lives at n % size

  // Piece numbers: every piece before each is done with that step. This thread reads into
  // piece `queued_`; pieces [claimed_, queued_) wait for a thread to convert them. Only this
  // thread changes queued_ and delivered_; the mutex guards the rest, and each piece's `done`.
  std::uint64_t delivered_ = 0;
  std::uint64_t claimed_ = 0;
  std::uint64_t queued_ = 0;
  std::uint64_t converted_ = 0;  // pieces converted, by either thread
  bool stop_ = false;
  std::mutex mutex_;
  std::condition_variable queuedMore_;  // for the second thread
  std::condition_variable convertedOne_;

  // A line longer than a piece, being converted on this thread as it comes.
  std::optional<Utf8Converter> longLine_;

  bool failed_ = false;
  bool truncated_ = false;
  std::uint64_t errorOffset_ = 0;
  bool endsWithLineFeed_ = false;

  std::thread worker_;  // last: it starts when everything else is ready
};

}  // namespace mibolan::cli
