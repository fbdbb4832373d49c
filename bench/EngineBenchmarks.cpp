// Micro-benchmarks of the conversion engine on the benchmark corpus (bench/make_corpus.sh).
//
//   engine_benchmarks [benchmark flags] [CORPUS]
//
// The corpus is the first argument left after the benchmark flags, else $MIBOLAN_BENCH_CORPUS.
// Without one, the benchmarks that need it are skipped with a message saying so. Throughputs
// ("bytes_per_second") count the UTF-8 bytes of the input, whatever form the benchmark hands
// the engine, so that every figure compares with a converter that reads the UTF-8 file.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <mibolan/ConvertText.h>
#include <mibolan/StreamConverter.h>
#include <mibolan/Utf8Converter.h>

#include "CharDictionary.h"
#include "ContextReading.h"
#include "Cp936.h"
#include "MarkTone.h"
#include "Utf.h"
#include "Utf8Decoder.h"
#include "WordList.h"

namespace {

using mibolan::Style;

std::string gCorpusPath;

// The pieces in which mibolan-convert reads a file.
constexpr std::size_t kPieceSize = 1 << 16;

struct Corpus {
  bool loaded = false;
  std::string utf8;
};

const Corpus& TheCorpus() {
  static const Corpus corpus = [] {
    Corpus result;
    if (gCorpusPath.empty()) return result;
    std::ifstream file(gCorpusPath, std::ios::binary);
    if (!file) return result;
    std::ostringstream bytes;
    bytes << file.rdbuf();
    result.utf8 = std::move(bytes).str();
    result.loaded = true;
    return result;
  }();
  return corpus;
}

// The longest prefix of `text` of at most `size` bytes that ends on a character boundary.
std::string_view Utf8Prefix(std::string_view text, std::size_t size) {
  if (size >= text.size()) return text;
  while (size > 0 && (static_cast<unsigned char>(text[size]) & 0xC0) == 0x80) --size;
  return text.substr(0, size);
}

// The corpus's first `size` bytes (0: all of it), or nothing after telling `state` why not.
bool CorpusSlice(benchmark::State& state, std::size_t size, std::string_view& slice) {
  const Corpus& corpus = TheCorpus();
  if (!corpus.loaded) {
    state.SkipWithError(gCorpusPath.empty()
                            ? "no corpus: pass its path or set MIBOLAN_BENCH_CORPUS (bench/make_corpus.sh makes it)"
                            : "the corpus file cannot be read");
    return false;
  }
  if (size > corpus.utf8.size()) {
    state.SkipWithError("the corpus is shorter than this benchmark's input size");
    return false;
  }
  slice = size == 0 ? std::string_view(corpus.utf8) : Utf8Prefix(corpus.utf8, size);
  return true;
}

const char* StyleName(Style style) { return style == Style::Pinyin ? "pinyin" : "annotated"; }

// The ways of reading that the by-word benchmarks time, all in the pinyin style.
enum class ByWord { Plain, ToneChanges, Textbook };

mibolan::ConversionOptions ByWordOptions(ByWord way) {
  mibolan::ConversionOptions options{.readBy = mibolan::ReadBy::Word};
  if (way == ByWord::ToneChanges) options.toneSandhi = true;
  if (way == ByWord::Textbook) options = mibolan::Textbook();
  return options;
}

// ConvertText on the corpus's first range(0) bytes, already in UTF-16 as the window holds it.
void ConvertTextWith(benchmark::State& state, const mibolan::ConversionOptions& options) {
  std::string_view utf8;
  if (!CorpusSlice(state, static_cast<std::size_t>(state.range(0)), utf8)) return;
  const std::u16string text = mibolan::ToUtf16(utf8);
  std::size_t outputUnits = 0;
  for (auto _ : state) {
    const std::u16string output = mibolan::ConvertText(text, options);
    outputUnits = output.size();
    benchmark::DoNotOptimize(output.data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(utf8.size()));
  state.counters["output_units"] = static_cast<double>(outputUnits);
}

void BM_ConvertText(benchmark::State& state, Style style) {
  ConvertTextWith(state, {.style = style});
  state.SetLabel(StyleName(style));
}

// ConvertText reading by word (UTF-16 in, UTF-16 out, as the window and the bindings call it).
void BM_ConvertTextByWord(benchmark::State& state, ByWord way) { ConvertTextWith(state, ByWordOptions(way)); }

// The converter's path from UTF-8 bytes to UTF-8 output in memory: the pieces mibolan-convert
// reads go through its direct converter, and each piece's output is dropped as the converter's
// output sink would write it. No file or pipe is touched.
void ConvertUtf8StreamWith(benchmark::State& state, const mibolan::ConversionOptions& options) {
  std::string_view utf8;
  if (!CorpusSlice(state, static_cast<std::size_t>(state.range(0)), utf8)) return;
  std::string out;
  std::size_t outputBytes = 0;
  for (auto _ : state) {
    mibolan::Utf8Converter converter(options);
    outputBytes = 0;
    for (std::size_t at = 0; at < utf8.size(); at += kPieceSize) {
      if (!converter.Feed(utf8.substr(at, kPieceSize), out)) {
        state.SkipWithError("the corpus is not well-formed UTF-8");
        return;
      }
      outputBytes += out.size();
      benchmark::DoNotOptimize(out.data());
      out.clear();
    }
    converter.Finish(out);
    outputBytes += out.size();
    out.clear();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(utf8.size()));
  state.counters["output_bytes"] = static_cast<double>(outputBytes);
}

void BM_ConvertUtf8Stream(benchmark::State& state, Style style) {
  ConvertUtf8StreamWith(state, {.style = style});
  state.SetLabel(StyleName(style));
}

// The converter's path reading by word (mibolan-convert --words, --tone-sandhi, --textbook).
void BM_ConvertUtf8StreamByWord(benchmark::State& state, ByWord way) {
  ConvertUtf8StreamWith(state, ByWordOptions(way));
}

// The two halves of that path apart: UTF-8 decoding alone ...
void BM_Utf8Decode(benchmark::State& state) {
  std::string_view utf8;
  if (!CorpusSlice(state, 0, utf8)) return;
  std::u16string text;
  for (auto _ : state) {
    mibolan::Utf8Decoder decoder;
    for (std::size_t at = 0; at < utf8.size(); at += kPieceSize) {
      text.clear();
      decoder.Decode(utf8.substr(at, kPieceSize), text);
      benchmark::DoNotOptimize(text.data());
    }
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(utf8.size()));
}

// The walk of the word list's trie alone, as reading by word makes it at every position, over
// the corpus's units other than ASCII (whose walk ends at once); and over its first few thousand
// such units repeated to the same length, whose slots stay in the cache: the difference is what
// the walk waits for memory.
void BM_WordListWalk(benchmark::State& state, bool repeated) {
  std::string_view utf8;
  if (!CorpusSlice(state, 0, utf8)) return;
  std::u16string decoded;
  mibolan::Utf8Decoder().Decode(utf8, decoded);
  std::u16string text;
  for (const char16_t unit : decoded) {
    if (unit >= 0x80) text += unit;
  }
  if (repeated) {
    const std::u16string start = text.substr(0, 4096);
    std::u16string copies;
    while (copies.size() < text.size()) copies += start;
    copies.resize(text.size());
    text = std::move(copies);
  }
  const mibolan::WordList& words = mibolan::WordList::Embedded();
  std::int64_t startingLongerWords = 0;
  for (auto _ : state) {
    std::int64_t found = 0;
    startingLongerWords = 0;
    for (std::size_t at = 0; at < text.size(); ++at) {
      std::size_t longest = 0;
      words.ForEachPrefix(text.data() + at, text.size() - at,
                          [&](std::size_t length, mibolan::WordList::WordId, std::int32_t cost) {
                            found += static_cast<std::int64_t>(length) + cost;
                            longest = length;
                          });
      startingLongerWords += longest > 1;
    }
    benchmark::DoNotOptimize(found);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
  // How many positions start a word of two units or more: the walk goes past the first step there.
  state.counters["longer_words"] = static_cast<double>(startingLongerWords) / static_cast<double>(text.size());
}

// ... and the stream converter alone, fed UTF-16 pieces decoded beforehand.
void BM_StreamConverter(benchmark::State& state, Style style) {
  std::string_view utf8;
  if (!CorpusSlice(state, 0, utf8)) return;
  std::vector<std::u16string> pieces;
  mibolan::Utf8Decoder decoder;
  for (std::size_t at = 0; at < utf8.size(); at += kPieceSize) {
    decoder.Decode(utf8.substr(at, kPieceSize), pieces.emplace_back());
  }
  std::string out;
  for (auto _ : state) {
    mibolan::StreamConverter converter({style});
    for (const std::u16string& piece : pieces) {
      converter.Feed(piece, out);
      benchmark::DoNotOptimize(out.data());
      out.clear();
    }
    converter.Finish(out);
    out.clear();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(utf8.size()));
  state.SetLabel(StyleName(style));
}

// MarkTone on every distinct dictionary reading, split as the conversion pass splits it.
void BM_MarkTone(benchmark::State& state) {
  const mibolan::CharDictionary& dictionary = mibolan::CharDictionary::Embedded();
  std::set<std::string_view> distinct;
  for (unsigned unit = 0; unit <= 0xFFFF; ++unit) {
    const std::string_view reading = dictionary.Reading(static_cast<char16_t>(unit));
    if (!reading.empty()) distinct.insert(reading);
  }
  std::vector<std::pair<std::u16string, std::u16string>> calls;  // syllable, tone
  for (const std::string_view reading : distinct) {
    const std::u16string wide = mibolan::ToUtf16(reading);
    calls.emplace_back(wide.substr(0, wide.size() - 1), wide.substr(wide.size() - 1));
  }
  for (auto _ : state) {
    for (const auto& [syllable, tone] : calls) {
      std::u16string marked = mibolan::MarkTone(syllable, tone);
      benchmark::DoNotOptimize(marked.data());
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(calls.size()));
  state.counters["readings"] = static_cast<double>(calls.size());
}

// ContextReading called as the conversion pass's definition calls it: for every character of
// the corpus that has a dictionary line, with the whole text and its 1-based position.
void BM_ContextReading(benchmark::State& state) {
  std::string_view utf8;
  if (!CorpusSlice(state, 0, utf8)) return;
  const std::u16string text = mibolan::ToUtf16(utf8);
  const mibolan::CharDictionary& dictionary = mibolan::CharDictionary::Embedded();
  std::vector<std::int32_t> positions;
  for (std::size_t index = 0; index < text.size(); ++index) {
    const char16_t c = text[index];
    if (mibolan::IsDoubleByteInCp936(c) && dictionary.ReadingIdOf(c) != mibolan::CharDictionary::kNoReading) {
      positions.push_back(static_cast<std::int32_t>(index + 1));
    }
  }
  std::size_t chosen = 0;
  for (auto _ : state) {
    chosen = 0;
    for (const std::int32_t position : positions) {
      const std::string_view reading =
          mibolan::ContextReading(text[static_cast<std::size_t>(position - 1)], text, position);
      if (!reading.empty()) ++chosen;
    }
    benchmark::DoNotOptimize(chosen);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(utf8.size()));
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(positions.size()));
  state.counters["context_readings"] = static_cast<double>(chosen);
}

constexpr std::int64_t k100KB = 100'000;
constexpr std::int64_t k1MB = 1'000'000;
constexpr std::int64_t k10MB = 10'000'000;

BENCHMARK_CAPTURE(BM_ConvertText, pinyin, Style::Pinyin)
    ->Arg(k100KB)
    ->Arg(k1MB)
    ->Arg(k10MB)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ConvertText, annotated, Style::Annotated)
    ->Arg(k100KB)
    ->Arg(k1MB)
    ->Arg(k10MB)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ConvertUtf8Stream, pinyin, Style::Pinyin)->Arg(k100KB)->Arg(k10MB)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ConvertUtf8Stream, annotated, Style::Annotated)->Arg(k10MB)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ConvertUtf8StreamByWord, words, ByWord::Plain)
    ->Arg(k100KB)
    ->Arg(k10MB)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ConvertUtf8StreamByWord, words_tone_sandhi, ByWord::ToneChanges)
    ->Arg(k10MB)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ConvertUtf8StreamByWord, textbook, ByWord::Textbook)->Arg(k10MB)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ConvertTextByWord, words, ByWord::Plain)->Arg(k1MB)->Arg(k10MB)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ConvertTextByWord, words_tone_sandhi, ByWord::ToneChanges)
    ->Arg(k10MB)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ConvertTextByWord, textbook, ByWord::Textbook)->Arg(k10MB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Utf8Decode)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_WordListWalk, corpus, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_WordListWalk, repeated, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_StreamConverter, pinyin, Style::Pinyin)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MarkTone)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ContextReading)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (argc > 2) {
    std::fprintf(stderr, "usage: %s [benchmark flags] [CORPUS]\n", argv[0]);
    return 2;
  }
  if (argc == 2) {
    gCorpusPath = argv[1];
  } else if (const char* path = std::getenv("MIBOLAN_BENCH_CORPUS")) {
    gCorpusPath = path;
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
