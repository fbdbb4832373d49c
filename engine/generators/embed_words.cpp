// Turns the word list (lines "WORD<TAB>FREQUENCY<TAB>READING") into the word table that the engine
// reads in place, at build time:
//   embed_words words.txt syllables.txt WordTable.inc
// The table is a double-array trie over the words' UTF-16 units with each word's cost and
// reading (engine/WordTableFormat.h), written out as one string literal. Every line is
// checked; a malformed one stops the build with its line number.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include <utf8.h>

#include "EmbedSupport.h"
#include "WordTableFormat.h"

namespace {

namespace format = mibolan::word_table;
namespace embed = mibolan::embed;
using embed::Failure;
using embed::Split;
using embed::SyllableIdOf;

struct Word {
  std::u16string text;
  std::uint64_t frequency = 0;
  std::vector<std::uint16_t> syllables;  // empty: read character by character
};

Word ParseWord(const std::string& line, const std::map<std::string, std::uint32_t>& syllables) {
  const std::vector<std::string> fields = Split(line, '\t');
  if (fields.size() != 3) throw Failure{"not three fields separated by tabs"};
  Word word;
  if (!utf8::is_valid(fields[0].begin(), fields[0].end())) throw Failure{"the word is not UTF-8"};
  const std::u32string letters = utf8::utf8to32(fields[0]);
  if (letters.empty() || letters.size() > format::kMaxWordLength) throw Failure{"the word's length is out of range"};
  for (char32_t letter : letters) {
    if (letter > 0xFFFF || letter < 0x80) throw Failure{"the word holds a character outside the BMP or ASCII"};
    word.text.push_back(static_cast<char16_t>(letter));
  }
  if (fields[1].empty() || fields[1].find_first_not_of("0123456789") != std::string::npos) {
    throw Failure{"the frequency is not a positive whole number"};
  }
  word.frequency = std::stoull(fields[1]);
  if (word.frequency == 0) throw Failure{"the frequency is not a positive whole number"};
  if (fields[2] != "-") {
    for (const std::string& numbered : Split(fields[2], ' '))
      word.syllables.push_back(SyllableIdOf(numbered, syllables));
    if (word.syllables.size() != word.text.size()) throw Failure{"the reading has not one syllable per character"};
  }
  return word;
}

std::vector<Word> ReadWords(const char* path, const std::map<std::string, std::uint32_t>& syllables) {
  std::vector<Word> words;
  embed::ReadLines(path, [&](const std::string& line) {
    words.push_back(ParseWord(line, syllables));
    if (words.size() > 1 && !(words[words.size() - 2].text < words.back().text)) {
      throw Failure{"the words are not in code-point order, or one comes twice"};
    }
  });
  if (words.empty()) throw Failure{std::string(path) + ": no words"};
  return words;
}

// Letter codes from 1, the most frequent units first, so that busy nodes pack densely.
std::vector<std::uint16_t> LetterCodes(const std::vector<Word>& words, std::uint32_t& alphabetSize) {
  std::vector<std::uint64_t> uses(0x10000, 0);
  for (const Word& word : words) {
    for (char16_t unit : word.text) ++uses[unit];
  }
  std::vector<char16_t> units;
  for (unsigned unit = 0; unit < 0x10000; ++unit) {
    if (uses[unit] > 0) units.push_back(static_cast<char16_t>(unit));
  }
  std::stable_sort(units.begin(), units.end(), [&](char16_t a, char16_t b) { return uses[a] > uses[b]; });
  std::vector<std::uint16_t> codes(0x10000, 0);
  for (std::size_t i = 0; i < units.size(); ++i) codes[units[i]] = static_cast<std::uint16_t>(i + 1);
  alphabetSize = static_cast<std::uint32_t>(units.size());
  return codes;
}

// A plain trie first; the double array is laid out from it.
struct TrieNode {
  std::vector<std::pair<std::uint16_t, std::int32_t>> children;  // letter code, node; sorted by code
  std::int32_t word = -1;
};

std::vector<TrieNode> BuildTrie(const std::vector<Word>& words, const std::vector<std::uint16_t>& codes) {
  std::vector<TrieNode> nodes(1);
  for (std::size_t id = 0; id < words.size(); ++id) {
    std::int32_t node = 0;
    for (char16_t unit : words[id].text) {
      const std::uint16_t code = codes[unit];
      auto& children = nodes[static_cast<std::size_t>(node)].children;
      const auto found = std::find_if(children.begin(), children.end(), [&](const auto& c) { return c.first == code; });
      if (found != children.end()) {
        node = found->second;
      } else {
        const auto child = static_cast<std::int32_t>(nodes.size());
        nodes[static_cast<std::size_t>(node)].children.emplace_back(code, child);
        nodes.emplace_back();
        node = child;
      }
    }
    nodes[static_cast<std::size_t>(node)].word = static_cast<std::int32_t>(id);
  }
  for (TrieNode& node : nodes) std::sort(node.children.begin(), node.children.end());
  return nodes;
}

struct DoubleArray {
  std::vector<std::int32_t> base;
  std::vector<std::int32_t> check;
  std::vector<std::int32_t> wordAt;
};

// First-fit placement in breadth-first order. The free slots form a doubly linked list, so that
// the search for a node's base tries only bases that put its first child on a free slot, and a
// region that has filled up is never walked again.
class Layout {
 public:
  explicit Layout(std::uint32_t alphabetSize) : alphabetSize_(alphabetSize) {
    Grow(1 + alphabetSize);
    Occupy(0);  // the root
    array_.check[0] = 0;
  }

  DoubleArray Place(const std::vector<TrieNode>& trie) {
    std::vector<std::pair<std::int32_t, std::int32_t>> queue = {{0, 0}};  // trie node, slot
    for (std::size_t next = 0; next < queue.size(); ++next) {
      const auto [node, slot] = queue[next];
      const TrieNode& trieNode = trie[static_cast<std::size_t>(node)];
      array_.wordAt[static_cast<std::size_t>(slot)] = trieNode.word;
      if (trieNode.children.empty()) continue;
      const std::int32_t base = FindBase(trieNode.children);
      array_.base[static_cast<std::size_t>(slot)] = base;
      for (const auto& [code, child] : trieNode.children) {
        Occupy(base + code);
        array_.check[static_cast<std::size_t>(base + code)] = slot;
        queue.emplace_back(child, base + code);
      }
    }
    // Every base + letter code stays inside the arrays, so a walk needs no bounds check; the
    // room grown beyond that goes.
    std::size_t size = 0;
    for (std::size_t slot = 0; slot < array_.check.size(); ++slot) {
      if (!IsFree(static_cast<std::int32_t>(slot))) size = std::max(size, slot + 1);
      size = std::max(size, static_cast<std::size_t>(array_.base[slot]) + alphabetSize_ + 1);
    }
    array_.base.resize(size);
    array_.check.resize(size);
    array_.wordAt.resize(size);
    return std::move(array_);
  }

 private:
  bool IsFree(std::int32_t slot) const { return array_.check[static_cast<std::size_t>(slot)] == -1; }

  std::int32_t FindBase(const std::vector<std::pair<std::uint16_t, std::int32_t>>& children) {
    const std::int32_t firstCode = children.front().first;
    for (std::int32_t free = firstFree_;; free = nextFree_[static_cast<std::size_t>(free)]) {
      const std::int32_t base = free - firstCode;
      if (base < 1) continue;
      Grow(static_cast<std::size_t>(base) + alphabetSize_ + 1);
      const bool fits = std::all_of(children.begin() + 1, children.end(),
                                    [&](const auto& child) { return IsFree(base + child.first); });
      if (fits) return base;
    }
  }

  // Makes the arrays hold at least `size` slots; the new ones are free, at the list's end.
  void Grow(std::size_t size) {
    const std::size_t old = array_.check.size();
    if (size <= old) return;
    size = std::max(size, old + old / 2);
    array_.base.resize(size, 0);
    array_.check.resize(size, -1);
    array_.wordAt.resize(size, -1);
    nextFree_.resize(size);
    previousFree_.resize(size);
    for (std::size_t slot = old; slot < size; ++slot) {
      nextFree_[slot] = static_cast<std::int32_t>(slot + 1);
      previousFree_[slot] = static_cast<std::int32_t>(slot) - 1;
    }
    if (lastFree_ >= 0) {
      nextFree_[static_cast<std::size_t>(lastFree_)] = static_cast<std::int32_t>(old);
      previousFree_[old] = lastFree_;
    } else {
      firstFree_ = static_cast<std::int32_t>(old);
      previousFree_[old] = -1;
    }
    lastFree_ = static_cast<std::int32_t>(size - 1);
  }

  // Takes a free slot off the list; the search then never comes back to it.
  void Occupy(std::int32_t slot) {
    const auto index = static_cast<std::size_t>(slot);
    const std::int32_t previous = previousFree_[index];
    const std::int32_t next = nextFree_[index];
    if (previous >= 0) {
      nextFree_[static_cast<std::size_t>(previous)] = next;
    } else {
      firstFree_ = next;
    }
    if (slot == lastFree_) {
      lastFree_ = previous;
    } else {
      previousFree_[static_cast<std::size_t>(next)] = previous;
    }
    array_.check[index] = 0;  // taken; the caller sets the parent
  }

  std::uint32_t alphabetSize_;
  DoubleArray array_;
  std::vector<std::int32_t> nextFree_;
  std::vector<std::int32_t> previousFree_;
  std::int32_t firstFree_ = -1;
  std::int32_t lastFree_ = -1;
};

// Appends an array, then pads the image to the next sixteen-byte boundary.
template <class T>
void Append(std::string& image, const std::vector<T>& values) {
  const std::size_t at = image.size();
  image.resize(at + values.size() * sizeof(T));
  std::memcpy(image.data() + at, values.data(), values.size() * sizeof(T));
  image.resize((image.size() + 15) / 16 * 16, '\0');
}

std::string Image(const std::vector<Word>& words) {
  format::Header header{};
  header.magic = format::kMagic;
  const std::vector<std::uint16_t> codes = LetterCodes(words, header.alphabetSize);
  const DoubleArray array = Layout(header.alphabetSize).Place(BuildTrie(words, codes));

  double total = 0;
  for (const Word& word : words) total += static_cast<double>(word.frequency);
  const auto costOf = [&](double frequency) {
    return static_cast<std::int32_t>(std::floor(format::kCostScale * std::log(total / frequency) + 0.5));
  };
  std::vector<std::int32_t> costs;      // by word
  std::vector<std::int32_t> wordCodes;  // by word
  std::vector<std::uint16_t> syllables;
  for (const Word& word : words) {
    costs.push_back(costOf(static_cast<double>(word.frequency)));
    wordCodes.push_back(format::WordCode(!word.syllables.empty(), static_cast<std::uint32_t>(syllables.size())));
    syllables.insert(syllables.end(), word.syllables.begin(), word.syllables.end());
  }
  if (syllables.size() >= (std::size_t{1} << 30)) throw Failure{"too many syllables for a word code"};
  header.slotCount = static_cast<std::uint32_t>(array.check.size());
  header.wordCount = static_cast<std::uint32_t>(words.size());
  header.syllableCount = static_cast<std::uint32_t>(syllables.size());
  header.unknownCost = costOf(1.0);

  std::vector<format::Slot> slots(array.check.size());
  for (std::size_t slot = 0; slot < slots.size(); ++slot) {
    const std::int32_t word = array.wordAt[slot];
    const auto index = static_cast<std::size_t>(word);
    slots[slot] = {.base = array.base[slot],
                   .check = array.check[slot],
                   .word = word >= 0 ? wordCodes[index] : -1,
                   .cost = word >= 0 ? costs[index] : 0};
  }

  std::vector<std::uint64_t> edges((std::size_t{1} << format::kEdgeBits) / 64, 0);
  for (std::size_t slot = 1; slot < slots.size(); ++slot) {
    const std::int32_t parent = slots[slot].check;
    if (parent < 0) continue;  // a free slot
    const auto code =
        static_cast<std::uint32_t>(static_cast<std::int32_t>(slot) - slots[static_cast<std::size_t>(parent)].base);
    const std::uint32_t bit = format::EdgeBit(static_cast<std::uint32_t>(parent), code);
    edges[bit / 64] |= std::uint64_t{1} << (bit % 64);
  }

  std::string image;
  Append(image, std::vector<format::Header>{header});
  Append(image, codes);
  Append(image, edges);
  Append(image, slots);
  Append(image, syllables);
  return image;
}

// The image as a C++ string literal: short lines, every byte as an octal escape (which, unlike
// a hexadecimal one, never runs into the next character).
void WriteLiteral(std::ostream& out, const std::string& image) {
  out << "alignas(16) const char kWordTable[] =";
  constexpr std::size_t kBytesPerLine = 64;
  for (std::size_t at = 0; at < image.size(); at += kBytesPerLine) {
    out << "\n    \"";
    for (std::size_t i = at; i < std::min(image.size(), at + kBytesPerLine); ++i) {
      const auto byte = static_cast<unsigned char>(image[i]);
      out << '\\' << static_cast<char>('0' + (byte >> 6)) << static_cast<char>('0' + ((byte >> 3) & 7))
          << static_cast<char>('0' + (byte & 7));
    }
    out << '"';
  }
  out << ";\n";
}

}  // namespace

int main(int argc, char** argv) {
  return embed::RunGenerator(argc, "embed_words", {"WORDS.txt", "SYLLABLES.txt", "OUTPUT.inc"}, [&] {
    const std::vector<std::string> syllables = embed::ReadSyllables(argv[2]);
    const std::vector<Word> words = ReadWords(argv[1], embed::IndexOf(syllables));
    std::ofstream out(argv[3], std::ios::binary);
    out << "// Generated from engine/data/words.txt and syllables.txt by engine/generators/embed_words.cpp; do not "
           "edit.\n"
        << "// The syllables in the order of their ids.\n"
        << "inline constexpr std::string_view kSyllables[] = {";
    for (std::size_t i = 0; i < syllables.size(); ++i)
      out << (i % 12 == 0 ? "\n   " : "") << " \"" << syllables[i] << "\",";
    out << "\n};\n\n";
    WriteLiteral(out, Image(words));
    return static_cast<bool>(out);
  });
}
