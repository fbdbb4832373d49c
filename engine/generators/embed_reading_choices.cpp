// Gathers every reading that a character can be given, for the tools that offer a choice
// (ReadingsOf in <mibolan/Dictionary.h>), at build time:
//   embed_reading_choices dictionary.txt words.txt character_readings.txt simplified.txt syllables.txt
//                         ReadingChoices.inc
// A character's readings are its default one (the dictionary's, else its own) and every reading
// the word list gives it in a word, or gives its simplified form, which is what reading by word
// looks up for it. They are ordered by how often the word list's words read the character so,
// counted by the words' frequencies; a word read character by character counts for each
// character's default reading. Only characters with a choice are written: the others' one reading
// is their default one, which the engine knows already.
#include <algorithm>
#include <cstdint>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <utf8.h>

#include "EmbedSupport.h"

namespace {

namespace embed = mibolan::embed;
using embed::Failure;
using SyllableMap = std::map<std::string, std::uint32_t>;
using Readings = std::map<char32_t, std::uint16_t>;

std::u32string CodePoints(const std::string& text) {
  if (!utf8::is_valid(text.begin(), text.end())) throw Failure{"not UTF-8"};
  return utf8::utf8to32(text);
}

char32_t CodePoint(const std::string& text) {
  const std::u32string code = CodePoints(text);
  if (code.size() != 1) throw Failure{"\"" + text + "\" is not one character"};
  return code[0];
}

// Lines of two fields, a character and what it maps to, separated by `separator`.
template <class Value, class Convert>
std::map<char32_t, Value> ReadPairs(const char* path, char separator, Convert convert) {
  std::map<char32_t, Value> pairs;
  embed::ReadLines(path, [&](const std::string& line) {
    if (line.empty()) return;
    const std::vector<std::string> fields = embed::Split(line, separator);
    if (fields.size() != 2) throw Failure{"expected two fields"};
    pairs[CodePoint(fields[0])] = convert(fields[1]);
  });
  return pairs;
}

template <class Map>
auto Find(const Map& map, char32_t key) -> std::optional<typename Map::mapped_type> {
  const auto found = map.find(key);
  if (found == map.end()) return std::nullopt;
  return found->second;
}

struct Data {
  Readings dictionary;
  Readings own;
  std::map<char32_t, char32_t> simplified;

  // As DictionaryReading(char32_t) gives it: the dictionary's, else the own reading of the
  // simplified form, else the character's own.
  std::optional<std::uint16_t> Default(char32_t code) const {
    if (auto reading = Find(dictionary, code)) return reading;
    if (code < 0x10000) {
      if (auto to = Find(simplified, code)) {
        if (auto reading = Find(own, *to)) return reading;
      }
    }
    return Find(own, code);
  }
};

// How often the words read each character each way.
using Counts = std::map<char32_t, std::map<std::uint16_t, std::uint64_t>>;

Counts CountWordReadings(const char* path, const Data& data, const SyllableMap& syllables) {
  Counts counts;
  embed::ReadLines(path, [&](const std::string& line) {
    if (line.empty()) return;
    const std::vector<std::string> fields = embed::Split(line, '\t');
    if (fields.size() != 3) throw Failure{"expected WORD, FREQUENCY and READING separated by tabs"};
    const std::u32string word = CodePoints(fields[0]);
    const std::uint64_t frequency = std::stoull(fields[1]);
    if (fields[2] == "-") {
      for (const char32_t code : word) {
        if (auto reading = data.Default(code)) counts[code][*reading] += frequency;
      }
      return;
    }
    const std::vector<std::string> reading = embed::Split(fields[2], ' ');
    if (reading.size() != word.size()) throw Failure{"expected one syllable per character"};
    for (std::size_t i = 0; i < word.size(); ++i) {
      counts[word[i]][embed::SyllableIdOf(reading[i], syllables)] += frequency;
    }
  });
  return counts;
}

// The character's readings, the most frequent first; those the words never give follow, the
// default one first.
std::vector<std::uint16_t> Choices(char32_t code, const Data& data, const Counts& counts) {
  std::map<std::uint16_t, std::uint64_t> frequency;
  const auto add = [&](char32_t from) {
    if (const auto found = counts.find(from); found != counts.end()) {
      for (const auto& [reading, count] : found->second) frequency[reading] += count;
    }
  };
  add(code);
  const std::optional<char32_t> simplified = Find(data.simplified, code);
  if (simplified && *simplified != code) add(*simplified);
  std::vector<std::pair<std::uint16_t, std::uint64_t>> ranked(frequency.begin(), frequency.end());
  std::stable_sort(ranked.begin(), ranked.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
  std::vector<std::uint16_t> choices;
  const auto append = [&](std::optional<std::uint16_t> reading) {
    if (reading && std::find(choices.begin(), choices.end(), *reading) == choices.end()) choices.push_back(*reading);
  };
  for (const auto& [reading, count] : ranked) append(reading);
  append(data.Default(code));
  if (simplified) append(Find(data.dictionary, *simplified));
  return choices;
}

bool Generate(char** argv) {
  const SyllableMap syllables = embed::IndexOf(embed::ReadSyllables(argv[5]));
  const auto syllableId = [&](const std::string& numbered) { return embed::SyllableIdOf(numbered, syllables); };
  Data data;
  data.dictionary = ReadPairs<std::uint16_t>(argv[1], ' ', syllableId);
  data.own = ReadPairs<std::uint16_t>(argv[3], '\t', syllableId);
  data.simplified = ReadPairs<char32_t>(argv[4], '\t', CodePoint);
  const Counts counts = CountWordReadings(argv[2], data, syllables);

  std::map<char32_t, std::vector<std::uint16_t>> choices;
  const auto consider = [&](char32_t code) {
    std::vector<std::uint16_t> readings = Choices(code, data, counts);
    const std::optional<std::uint16_t> fallback = data.Default(code);
    const bool known = readings.size() == 1 && fallback && readings[0] == *fallback;
    if (!readings.empty() && !known) choices[code] = std::move(readings);
  };
  for (const auto& entry : data.dictionary) consider(entry.first);
  for (const auto& entry : data.own) consider(entry.first);
  for (const auto& entry : data.simplified) consider(entry.first);
  for (const auto& entry : counts) consider(entry.first);

  std::ofstream out(argv[6], std::ios::binary);
  out << "// Generated by engine/generators/embed_reading_choices.cpp. Do not edit.\n"
         "constexpr std::uint16_t kChoiceSyllables[] = {\n";
  std::vector<std::pair<char32_t, std::size_t>> starts;
  std::size_t written = 0;
  for (const auto& [code, readings] : choices) {
    starts.emplace_back(code, written);
    for (const std::uint16_t reading : readings) out << reading << ',';
    out << '\n';
    written += readings.size();
  }
  out << "};\nconstexpr ReadingChoice kReadingChoices[] = {\n";
  for (const auto& [code, start] : starts)
    out << "{0x" << std::hex << static_cast<std::uint32_t>(code) << std::dec << ',' << start << "},";
  out << "{0x110000," << written << "}\n};\n";
  return static_cast<bool>(out.flush());
}

}  // namespace

int main(int argc, char** argv) {
  return embed::RunGenerator(argc, "embed_reading_choices",
                             {"dictionary.txt", "words.txt", "character_readings.txt", "simplified.txt",
                              "syllables.txt", "ReadingChoices.inc"},
                             [&] { return Generate(argv); });
}
