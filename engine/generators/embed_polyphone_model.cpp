// Turns the polyphone model (engine/data/polyphone_model.txt) into tables for the engine, at
// build time:
//   embed_polyphone_model polyphone_model.txt syllables.txt PolyphoneModel.inc
// Each character's block gives its readings; each feature line, its weight for each of them. A
// block's features go into an open-addressing table of their own, keyed by a hash of the
// character and the feature's text (engine/PolyphoneModelFormat.h). The corrected words go into a
// table sorted by their units. Every line is checked; a malformed one stops the build with its
// line number.
#include <algorithm>
#include <cstdint>
#include <fstream>
#include <map>
#include <ostream>
#include <string>
#include <type_traits>
#include <vector>

#include <utf8.h>

#include "EmbedSupport.h"
#include "PolyphoneModelFormat.h"

namespace {

namespace format = mibolan::polyphone_model;
namespace embed = mibolan::embed;
using embed::Failure;
using embed::Split;
using embed::SyllableIdOf;

struct Block {
  char16_t character = 0;
  std::vector<std::uint16_t> readings;  // syllable ids
  std::vector<std::pair<std::uint64_t, std::vector<std::int16_t>>> features;
  std::vector<std::uint64_t> sketch = std::vector<std::uint64_t>(format::kSketchWords, 0);
};

// Marks a neighbour feature of the block in its sketch; other features are not sketched.
void Sketch(Block& block, const std::u16string& feature) {
  for (std::size_t name = 0; name < std::size(format::kNeighbourNames); ++name) {
    const std::u16string_view prefix = format::kNeighbourNames[name];
    if (feature.size() > prefix.size() && feature.starts_with(prefix)) {
      const std::size_t bit = format::SketchBit(name, feature[prefix.size()]);
      block.sketch[bit / 64] |= std::uint64_t{1} << (bit % 64);
    }
  }
}

std::u16string Utf16(const std::string& text) {
  if (!utf8::is_valid(text.begin(), text.end())) throw Failure{"not UTF-8"};
  return utf8::utf8to16(text);
}

std::int16_t Weight(const std::string& text) {
  std::size_t used = 0;
  const long value = std::stol(text, &used);
  if (used != text.size() || value < INT16_MIN || value > INT16_MAX) throw Failure{"\"" + text + "\" is not a weight"};
  return static_cast<std::int16_t>(value);
}

struct CorrectedWord {
  std::u16string word;
  std::vector<std::uint16_t> readings;  // syllable ids, one per unit

  bool operator<(const CorrectedWord& other) const { return word < other.word; }
};

struct Model {
  std::int32_t margin = 0;
  std::vector<CorrectedWord> corrections;
  std::vector<Block> blocks;
};

void ParseLine(const std::string& line, const std::map<std::string, std::uint32_t>& syllables, Model& model,
               bool& sawMargin) {
  const std::vector<std::string> fields = Split(line, '\t');
  if (fields[0] == "margin" && fields.size() == 2) {
    model.margin = Weight(fields[1]);
    sawMargin = true;
  } else if (fields[0] == "word" && fields.size() == 3) {
    CorrectedWord corrected{Utf16(fields[1]), {}};
    for (const std::string& numbered : Split(fields[2], ' ')) {
      corrected.readings.push_back(SyllableIdOf(numbered, syllables));
    }
    if (corrected.word.size() < 2 || corrected.readings.size() != corrected.word.size()) {
      throw Failure{"a corrected word needs two or more BMP characters and one reading for each"};
    }
    model.corrections.push_back(std::move(corrected));
  } else if (fields[0] == "char" && fields.size() == 3) {
    const std::u16string character = Utf16(fields[1]);
    if (character.size() != 1) throw Failure{"a block is not for one BMP character"};
    Block block;
    block.character = character[0];
    for (const std::string& numbered : Split(fields[2], ' '))
      block.readings.push_back(SyllableIdOf(numbered, syllables));
    if (block.readings.size() < 2) throw Failure{"a block has fewer than two readings"};
    if (!model.blocks.empty() && !(model.blocks.back().character < block.character)) {
      throw Failure{"the blocks are not in code-point order"};
    }
    model.blocks.push_back(std::move(block));
  } else if (fields.size() == 2 && !model.blocks.empty()) {
    Block& block = model.blocks.back();
    std::vector<std::int16_t> weights;
    for (const std::string& weight : Split(fields[1], ' ')) weights.push_back(Weight(weight));
    if (weights.size() != block.readings.size()) throw Failure{"not one weight per reading of the block"};
    const std::u16string feature = Utf16(fields[0]);
    Sketch(block, feature);
    block.features.emplace_back(format::FeatureKey(block.character, feature), std::move(weights));
  } else {
    throw Failure{"not a margin, block or feature line"};
  }
}

Model ReadModel(const char* path, const std::map<std::string, std::uint32_t>& syllables) {
  Model model;
  bool sawMargin = false;
  embed::ReadLines(path, [&](const std::string& line) {
    if (!line.empty() && line[0] != '#') ParseLine(line, syllables, model, sawMargin);
  });
  if (!sawMargin) throw Failure{std::string(path) + ": no margin line"};
  return model;
}

template <class T>
void WriteArray(std::ostream& out, const std::string& declaration, const std::vector<T>& values) {
  out << declaration << " = {";
  // Large unsigned numbers need their suffix to be read as what they are.
  const char* const suffix = std::is_unsigned_v<T> && sizeof(T) >= 4 ? "u" : "";
  for (std::size_t i = 0; i < values.size(); ++i) out << (i % 16 == 0 ? "\n" : "") << +values[i] << suffix << ',';
  out << "};\n\n";
}

// The corrected words, in the order of their units, each word's units and readings in two
// arrays that the same starts index. std::array, since there may be none.
void WriteCorrections(std::ostream& out, std::vector<CorrectedWord> corrections) {
  std::sort(corrections.begin(), corrections.end());
  std::vector<std::uint32_t> starts{0};
  std::vector<std::uint16_t> units, readings;
  std::vector<std::uint64_t> firstUnits(format::kFirstUnitWords, 0);
  for (std::size_t i = 0; i < corrections.size(); ++i) {
    if (i > 0 && corrections[i - 1].word == corrections[i].word) throw Failure{"a word is corrected twice"};
    const char16_t first = corrections[i].word[0];
    firstUnits[format::FirstUnitWord(first)] |= format::FirstUnitBit(first);
    units.insert(units.end(), corrections[i].word.begin(), corrections[i].word.end());
    readings.insert(readings.end(), corrections[i].readings.begin(), corrections[i].readings.end());
    starts.push_back(static_cast<std::uint32_t>(units.size()));
  }
  out << "// The corrected words, sorted: word w is kCorrectedUnits[kCorrectedStarts[w] ..\n"
      << "// kCorrectedStarts[w + 1]), read as the syllable ids of kCorrectedReadings in the same range.\n";
  const auto size = [](const auto& values) { return std::to_string(values.size()); };
  out << "// A bit for the first unit of each corrected word (format::FirstUnitBit): most words\n"
      << "// are known not to be corrected at one look.\n";
  WriteArray(out, "inline constexpr std::array<std::uint64_t, " + size(firstUnits) + "> kCorrectedFirstUnits",
             firstUnits);
  WriteArray(out, "inline constexpr std::array<std::uint32_t, " + size(starts) + "> kCorrectedStarts", starts);
  WriteArray(out, "inline constexpr std::array<char16_t, " + size(units) + "> kCorrectedUnits", units);
  WriteArray(out, "inline constexpr std::array<std::uint16_t, " + size(readings) + "> kCorrectedReadings", readings);
}

// Each block's features have an open-addressing table of their own, at most half full: the few
// slots that one character's look-ups touch stay close together, and a busy character's stay in
// the cache.
void WriteTables(std::ostream& out, const Model& model) {
  std::vector<std::uint64_t> keys, sketches;
  std::vector<std::uint32_t> weightStarts, blockSlotStarts;
  std::vector<std::int16_t> weights;
  std::vector<std::uint16_t> blockCharacters, blockReadingStarts, readings;
  for (const Block& block : model.blocks) {
    blockCharacters.push_back(block.character);
    blockReadingStarts.push_back(static_cast<std::uint16_t>(readings.size()));
    readings.insert(readings.end(), block.readings.begin(), block.readings.end());
    sketches.insert(sketches.end(), block.sketch.begin(), block.sketch.end());
    std::size_t capacity = 1;
    while (capacity < 2 * block.features.size() + 1) capacity *= 2;
    const std::size_t first = keys.size();
    blockSlotStarts.push_back(static_cast<std::uint32_t>(first));
    keys.resize(first + capacity, 0);
    weightStarts.resize(first + capacity, 0);
    for (const auto& [key, featureWeights] : block.features) {
      std::size_t slot = key & (capacity - 1);
      while (keys[first + slot] != 0) {
        if (keys[first + slot] == key) throw Failure{"two features of the model have the same key"};
        slot = (slot + 1) & (capacity - 1);
      }
      keys[first + slot] = key;
      weightStarts[first + slot] = static_cast<std::uint32_t>(weights.size());
      weights.insert(weights.end(), featureWeights.begin(), featureWeights.end());
    }
  }
  blockReadingStarts.push_back(static_cast<std::uint16_t>(readings.size()));
  blockSlotStarts.push_back(static_cast<std::uint32_t>(keys.size()));

  out << "// Generated from engine/data/polyphone_model.txt by engine/generators/embed_polyphone_model.cpp; do not "
         "edit.\n"
      << "inline constexpr std::int32_t kMargin = " << model.margin << ";\n\n"
      << "// The characters that have a block, sorted; their readings (syllable ids) are\n"
      << "// kReadings[kBlockReadingStarts[b] .. kBlockReadingStarts[b + 1]).\n";
  WriteArray(out, "inline constexpr char16_t kBlockCharacters[]", blockCharacters);
  WriteArray(out, "inline constexpr std::uint16_t kBlockReadingStarts[]", blockReadingStarts);
  WriteArray(out, "inline constexpr std::uint16_t kReadings[]", readings);
  out << "// Block b's sketch of its neighbour features (format::SketchBit) is the kSketchWords words\n"
      << "// from kSketches[b * kSketchWords].\n";
  WriteArray(out, "inline constexpr std::uint64_t kSketches[]", sketches);
  out << "// Block b's features: open addressing with linear probing over the slots\n"
      << "// [kBlockSlotStarts[b], kBlockSlotStarts[b + 1]), a power of two of them. A slot holds a\n"
      << "// feature's key, 0 when empty, and where its weights, one per reading of the block, begin in\n"
      << "// kWeights.\n";
  WriteArray(out, "inline constexpr std::uint32_t kBlockSlotStarts[]", blockSlotStarts);
  WriteArray(out, "inline constexpr std::uint64_t kFeatureKeys[]", keys);
  WriteArray(out, "inline constexpr std::uint32_t kFeatureWeightStarts[]", weightStarts);
  WriteArray(out, "inline constexpr std::int16_t kWeights[]", weights);
  WriteCorrections(out, model.corrections);
}

}  // namespace

int main(int argc, char** argv) {
  return embed::RunGenerator(argc, "embed_polyphone_model", {"MODEL.txt", "SYLLABLES.txt", "OUTPUT.inc"}, [&] {
    const Model model = ReadModel(argv[1], embed::IndexOf(embed::ReadSyllables(argv[2])));
    std::ofstream out(argv[3], std::ios::binary);
    WriteTables(out, model);
    return static_cast<bool>(out);
  });
}
