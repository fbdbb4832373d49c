// Turns the dictionary text (lines "字 syl#") into a C++ table for the engine, at build time:
//   embed_dictionary dictionary.txt DictionaryTable.inc
// Every line is checked; a malformed one stops the build with its line number. When a
// character has several lines the first one counts, as it does for a search from the start.
#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <utf8.h>

namespace {

struct Line {
  char16_t head;
  std::string reading;
};

bool IsSyllableLetter(char32_t c) { return (c >= U'a' && c <= U'z' && c != U'v') || c == U'\u00FC'; }

// A numbered syllable: 1 to 6 letters a-z (no v) or ü, then one tone digit 1 to 5.
bool IsNumberedSyllable(const std::string& reading) {
  if (!utf8::is_valid(reading.begin(), reading.end())) return false;
  const std::u32string letters = utf8::utf8to32(reading);
  if (letters.size() < 2 || letters.size() > 7) return false;
  if (letters.back() < U'1' || letters.back() > U'5') return false;
  return std::all_of(letters.begin(), letters.end() - 1, IsSyllableLetter);
}

bool ParseLine(std::string text, Line& line) {
  if (!text.empty() && text.back() == '\r') text.pop_back();
  const std::size_t blank = text.find(' ');
  if (blank == std::string::npos) return false;
  const std::string head = text.substr(0, blank);
  if (!utf8::is_valid(head.begin(), head.end())) return false;
  const std::u32string head32 = utf8::utf8to32(head);
  if (head32.size() != 1 || head32[0] > 0xFFFF || (head32[0] >= 0xD800 && head32[0] < 0xE000)) return false;
  line.head = static_cast<char16_t>(head32[0]);
  line.reading = text.substr(blank + 1);
  return IsNumberedSyllable(line.reading);
}

std::string Hex(unsigned value) {
  std::ostringstream out;
  out << "0x" << std::hex << std::uppercase << value;
  return out.str();
}

void WriteTable(std::ostream& out, const std::map<char16_t, std::string>& readings) {
  std::vector<std::string> syllables;
  for (const auto& [head, reading] : readings) syllables.push_back(reading);
  std::sort(syllables.begin(), syllables.end());
  syllables.erase(std::unique(syllables.begin(), syllables.end()), syllables.end());

  const char16_t first = readings.begin()->first;
  const char16_t last = readings.rbegin()->first;
  out << "// Generated from engine/data/dictionary.txt by engine/generators/embed_dictionary.cpp; do not edit.\n"
      << "inline constexpr char16_t kFirstHead = " << Hex(first) << ";\n"
      << "inline constexpr char16_t kLastHead = " << Hex(last) << ";\n\n"
      << "// Every numbered syllable of the dictionary, sorted.\n"
      << "inline constexpr ShortText kNumberedSyllables[] = {\n";
  for (const std::string& syllable : syllables) out << "    {\"" << syllable << "\", " << syllable.size() << "},\n";
  out << "};\n\n"
      << "// kHeadReadings[c - kFirstHead]: 1 + index into kNumberedSyllables, 0 for no line.\n"
      << "inline constexpr std::uint16_t kHeadReadings[] = {";
  for (unsigned c = first; c <= last; ++c) {
    if ((c - first) % 16 == 0) out << "\n   ";
    const auto found = readings.find(static_cast<char16_t>(c));
    std::size_t id = 0;
    if (found != readings.end()) {
      id = 1 + static_cast<std::size_t>(std::lower_bound(syllables.begin(), syllables.end(), found->second) -
                                        syllables.begin());
    }
    out << ' ' << id << ',';
  }
  out << "\n};\n";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: embed_dictionary DICTIONARY.txt OUTPUT.inc\n";
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::cerr << argv[1] << ": cannot open\n";
    return 1;
  }
  std::map<char16_t, std::string> readings;
  std::string text;
  for (int number = 1; std::getline(in, text); ++number) {
    Line line;
    if (!ParseLine(text, line)) {
      std::cerr << argv[1] << ":" << number << ": not a line of the form \"字 syl#\"\n";
      return 1;
    }
    readings.emplace(line.head, line.reading);  // the first line of a character counts
  }
  if (readings.empty()) {
    std::cerr << argv[1] << ": no lines\n";
    return 1;
  }
  std::ofstream out(argv[2], std::ios::binary);
  WriteTable(out, readings);
  return out ? 0 : 1;
}
