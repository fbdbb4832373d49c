// What the library does when a caller misuses it: converters report bad input at once and stay
// failed until the text ends (Utf8Converter then starts a new text clean), option
// values out of their enumerations are refused, and (in a build without NDEBUG) one converter
// used from two threads at once aborts the program.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <mibolan/ConvertText.h>
#include <mibolan/DecodingConverter.h>
#include <mibolan/Readings.h>
#include <mibolan/StreamConverter.h>
#include <mibolan/Utf8Converter.h>

#include "Utf.h"
#include "Utf8Decoder.h"

namespace mibolan {
namespace {

// A streaming converter of UTF-8 bytes, whatever its class.
struct Streaming {
  std::function<bool(std::string_view, std::string&)> feed;
  std::function<bool(std::string&)> finish;
  std::function<std::uint64_t()> errorOffset;
};

template <class Converter, class... Arguments>
Streaming Wrap(Arguments&&... arguments) {
  auto converter = std::make_shared<Converter>(std::forward<Arguments>(arguments)...);
  Streaming streaming;
  streaming.feed = [converter](std::string_view bytes, std::string& out) { return converter->Feed(bytes, out); };
  streaming.finish = [converter](std::string& out) { return converter->Finish(out); };
  streaming.errorOffset = [converter] { return converter->ErrorOffset(); };
  return streaming;
}

// StreamConverter takes UTF-16; these tests give it only well-formed UTF-8, which never fails.
struct Utf16Stream {
  explicit Utf16Stream(const ConversionOptions& options) : converter(options) {}
  bool Feed(std::string_view bytes, std::string& out) {
    converter.Feed(ToUtf16(bytes), out);
    return true;
  }
  bool Finish(std::string& out) {
    converter.Finish(out);
    return true;
  }
  std::uint64_t ErrorOffset() const { return 0; }
  StreamConverter converter;
};

struct Kind {
  const char* name;
  std::function<Streaming(const ConversionOptions&)> make;
  bool reportsBadInput;
  bool startsAfresh;
};

const Kind kKinds[] = {
    {"Utf8Converter", [](const ConversionOptions& options) { return Wrap<Utf8Converter>(options); }, true, true},
    {"DecodingConverter",
     [](const ConversionOptions& options) { return Wrap<DecodingConverter<Utf8Decoder>>(options, false); }, true,
     false},
    {"StreamConverter", [](const ConversionOptions& options) { return Wrap<Utf16Stream>(options); }, false, true},
};

// The direct walk, the decoding one with reading by word, and the page.
const ConversionOptions kOptions[] = {
    {},
    {Style::Annotated, LineBreaks::Keep, ReadBy::Word, true},
    {Style::Html, LineBreaks::Keep, ReadBy::Word, false},
};

struct BadInput {
  const char* name;
  std::vector<std::string_view> pieces;  // fed one by one, then more text, then Finish, twice
  std::string_view before;               // the text before the bad bytes
  std::uint64_t errorOffset;
  std::size_t failingCall;  // the piece whose Feed reports the bad bytes; pieces.size() for Finish
};

const BadInput kBadInputs[] = {
    {"a stray byte inside a piece", {"银\xFF行长"}, "银", 3, 0},
    {"a stray byte in the look-ahead", {"银行长\xFF"}, "银行长", 9, 0},
    {"a stray byte starting the second piece", {"银行\n", "\x80长"}, "银行\n", 7, 1},
    {"an overlong form split across pieces", {"一个\xC0", "\xAF"}, "一个", 6, 0},
    {"a character cut across pieces, then a bad byte", {"一个\xE8", "\xA1\xFF"}, "一个", 6, 1},
    {"a character cut off by the end", {"一个\xE8\xA1"}, "一个", 6, 1},
};

// The first call that sees bad bytes reports them, every call after it does until the text ends,
// and what came before them is converted as if the text ended there.
TEST(LibraryMisuse, BadInputIsReportedAtOnceAndUntilTheTextEnds) {
  for (const Kind& kind : kKinds) {
    if (!kind.reportsBadInput) continue;
    for (const ConversionOptions& options : kOptions) {
      for (const BadInput& input : kBadInputs) {
        SCOPED_TRACE(std::string(kind.name) + ", style " + std::to_string(static_cast<int>(options.style)) + ", " +
                     input.name);
        std::string wanted;
        Streaming whole = kind.make(options);
        ASSERT_TRUE(whole.feed(input.before, wanted));
        ASSERT_TRUE(whole.finish(wanted));

        Streaming converter = kind.make(options);
        std::string out;
        for (std::size_t call = 0; call < input.pieces.size(); ++call) {
          EXPECT_EQ(converter.feed(input.pieces[call], out), call < input.failingCall) << "piece " << call;
        }
        // Whatever comes next in this text is refused and writes nothing: the text before the bad
        // bytes is never joined to what follows.
        EXPECT_FALSE(converter.feed("行长一个", out));
        EXPECT_FALSE(converter.finish(out));
        EXPECT_EQ(out, wanted);
        EXPECT_EQ(converter.errorOffset(), input.errorOffset);
        // A new text starts clean, or (DecodingConverter) is refused like the rest.
        std::string next;
        std::string nextWanted;
        Streaming fresh = kind.make(options);
        fresh.feed("行长一个", nextWanted);
        fresh.finish(nextWanted);
        EXPECT_EQ(converter.feed("行长一个", next), kind.startsAfresh);
        EXPECT_EQ(converter.finish(next), kind.startsAfresh);
        EXPECT_EQ(next, kind.startsAfresh ? nextWanted : "");
      }
    }
  }
}

TEST(LibraryMisuse, OptionsOutOfTheirEnumerationsAreRefused) {
  const ConversionOptions bad[] = {
      {.style = static_cast<Style>(4)},
      {.style = static_cast<Style>(-1)},
      {.lineBreaks = static_cast<LineBreaks>(2)},
      {.readBy = static_cast<ReadBy>(7)},
  };
  const std::pair<const char*, std::function<void(const ConversionOptions&)>> entryPoints[] = {
      {"ConvertText", [](const ConversionOptions& options) { ConvertText(u"银行", options); }},
      {"ConvertText by style", [](const ConversionOptions& options) { ConvertText(u"银行", options.style); }},
      {"ReadText", [](const ConversionOptions& options) { ReadText(u"银行", options); }},
      {"StreamConverter", [](const ConversionOptions& options) { StreamConverter converter(options, true); }},
      {"Utf8Converter", [](const ConversionOptions& options) { Utf8Converter converter(options, 5); }},
      {"DecodingConverter",
       [](const ConversionOptions& options) { DecodingConverter<Utf8Decoder> converter(options, false); }},
  };
  for (const auto& [name, call] : entryPoints) {
    for (const ConversionOptions& options : bad) {
      if (std::string_view(name) == "ConvertText by style" && options.style <= Style::Html) continue;
      EXPECT_THROW(call(options), std::invalid_argument)
          << name << ": style " << static_cast<int>(options.style) << ", line breaks "
          << static_cast<int>(options.lineBreaks) << ", reading " << static_cast<int>(options.readBy);
    }
    EXPECT_NO_THROW(call({Style::Html, LineBreaks::Keep, ReadBy::Word, true})) << name;
  }
}

// Two threads feed one converter until their calls overlap, which a build without NDEBUG
// catches; with no check, the loops end and the test fails.
[[maybe_unused]] void FeedFromTwoThreads(const Kind& kind, const ConversionOptions& options) {
  std::string text;
  for (int i = 0; i < 4000; ++i) text += "银行校长觉得一个";
  Streaming converter = kind.make(options);
  const auto feed = [&] {
    std::string out;
    for (int round = 0; round < 2000; ++round) {
      out.clear();
      converter.feed(text, out);
    }
  };
  std::thread other(feed);
  feed();
  other.join();
}

TEST(LibraryMisuseDeathTest, OneConverterUsedFromTwoThreadsAtOnceAborts) {
#ifdef NDEBUG
  GTEST_SKIP() << "only a build without NDEBUG checks how converters are shared between threads";
#else
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  for (const Kind& kind : kKinds) {
    for (const ConversionOptions& options : {kOptions[0], kOptions[1]}) {
      EXPECT_DEATH(FeedFromTwoThreads(kind, options), std::string("one ") + "\\w+" + " used from two threads at once")
          << kind.name << ", style " << static_cast<int>(options.style);
    }
  }
#endif
}

}  // namespace
}  // namespace mibolan
