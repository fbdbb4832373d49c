#include "CharDictionary.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>
#include <string>

#include "CommandRunner.h"
#include "Cp936.h"
#include "Utf.h"

namespace mibolan {
namespace {

using testing_support::ReadFile;

const std::string kDataFolder =
    std::string(MIBOLAN_DICTIONARY_TEXT).substr(0, std::string(MIBOLAN_DICTIONARY_TEXT).rfind('/'));

// The data lines of a file of "字 ..." lines with "#" comments.
std::vector<std::string> DataLines(const std::string& path) {
  std::vector<std::string> lines;
  std::istringstream in(ReadFile(path));
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line[0] != '#') lines.push_back(line);
  }
  return lines;
}

// The syllables a reading may use, from the list that the dictionary generator reads too.
const std::set<std::string>& PinyinSyllables() {
  static const std::set<std::string> syllables = [] {
    const std::vector<std::string> lines = DataLines(kDataFolder + "/syllables.txt");
    return std::set<std::string>(lines.begin(), lines.end());
  }();
  return syllables;
}

TEST(CharDictionary, KnowsThe409Syllables) { EXPECT_EQ(PinyinSyllables().size(), 409U); }

TEST(CharDictionary, HeadsAreTheUnifiedIdeographsExceptThoseWithoutALine) {
  std::set<char16_t> withoutLine;
  for (const std::string& line : DataLines(kDataFolder + "/no_reading.txt")) withoutLine.insert(ToUtf16(line)[0]);
  ASSERT_EQ(withoutLine.size(), 325U);
  int heads = 0;
  for (unsigned unit = 0; unit <= 0xFFFF; ++unit) {
    const auto c = static_cast<char16_t>(unit);
    const bool expected = unit >= 0x4E00 && unit <= 0x9FA5 && withoutLine.count(c) == 0;
    ASSERT_EQ(!CharDictionary::Embedded().Reading(c).empty(), expected) << "U+" << std::hex << unit;
    heads += expected ? 1 : 0;
  }
  EXPECT_EQ(heads, 20577);
}

TEST(CharDictionary, EveryReadingIsANumberedSyllableOfTheList) {
  const CharDictionary& dictionary = CharDictionary::Embedded();
  for (char16_t c = 0x4E00; c <= 0x9FA5; ++c) {
    const std::string reading(dictionary.Reading(c));
    if (reading.empty()) continue;
    const char tone = reading.back();
    const std::string syllable = reading.substr(0, reading.size() - 1);
    EXPECT_TRUE(tone >= '1' && tone <= '5') << reading;
    EXPECT_EQ(PinyinSyllables().count(syllable), 1U) << reading;
  }
}

TEST(CharDictionary, NamedReadingsAreKept) {
  const CharDictionary& dictionary = CharDictionary::Embedded();
  int checked = 0;
  for (const std::string& line : DataLines(kDataFolder + "/named_readings.txt")) {
    const std::size_t blank = line.find(' ');
    const std::u16string head = ToUtf16(line.substr(0, blank));
    const std::string reading = line.substr(blank + 1, line.find_first_of(" #\r", blank + 1) - blank - 1);
    EXPECT_EQ(dictionary.Reading(head[0]), reading) << line;
    ++checked;
  }
  EXPECT_GT(checked, 150);
}

TEST(CharDictionary, TellingReadings) {
  const std::map<std::u16string, std::string> expected = {
      {u"行", "hang2"}, {u"了", "le5"},   {u"长", "chang2"}, {u"好", "hao3"}, {u"着", "zhe5"},   {u"率", "lü4"},
      {u"女", "nü3"},   {u"虐", "nüe4"},  {u"去", "qu4"},    {u"学", "xue2"}, {u"俩", "liang3"}, {u"嗯", "en4"},
      {u"欸", "ea4"},   {u"這", "zhei4"}, {u"这", "zhe4"},   {u"一", "yi1"},  {u"不", "bu4"},    {u"同", "tong5"},
      {u"禬", "gui4"},  {u"瑳", "cuo1"},  {u"婩", "nüe4"},   {u"六", "liu4"}, {u"龥", "yu4"},    {u"丂", "kao3"}};
  for (const auto& [head, reading] : expected) {
    EXPECT_EQ(CharDictionary::Embedded().Reading(head[0]), reading) << ToUtf8(head);
  }
}

TEST(CharDictionary, PrintedTextIsTheCommittedDictionary) {
  EXPECT_EQ(CharDictionary::Embedded().Text(), ReadFile(MIBOLAN_DICTIONARY_TEXT));
}

// The reading a search through the dictionary text finds: from the first occurrence of the
// character, if it heads a line, everything between the next blank and the next line end.
// First occurrences of all units are found in one walk, which answers as a search from the
// start for each unit would.
std::u16string SearchReading(std::u16string_view text, std::size_t entry) {
  if (entry == std::u16string_view::npos) return {};
  const std::size_t blank = text.find(u' ', entry + 1);
  const std::size_t lineEnd = text.find(u"\r\n", entry + 1);
  if (lineEnd == std::u16string_view::npos || blank > lineEnd) return {};
  return std::u16string(text.substr(blank + 1, lineEnd - blank - 1));
}

TEST(CharDictionary, LookupAnswersAsASearchThroughTheTextForEveryUnit) {
  std::u16string text;
  for (const char16_t c : ToUtf16(ReadFile(MIBOLAN_DICTIONARY_TEXT))) {
    if (c == u'\n') text += u'\r';
    text += c;
  }
  std::vector<std::size_t> firstOccurrence(0x10000, std::u16string::npos);
  for (std::size_t i = text.size(); i-- > 0;) firstOccurrence[text[i]] = i;

  // Only characters that pass the double-byte test are looked up; none of the others heads a line.
  const CharDictionary& dictionary = CharDictionary::Embedded();
  for (unsigned unit = 0; unit <= 0xFFFF; ++unit) {
    const auto c = static_cast<char16_t>(unit);
    const std::u16string expected = IsDoubleByteInCp936(c) ? SearchReading(text, firstOccurrence[unit]) : u"";
    ASSERT_EQ(ToUtf8(expected), dictionary.Reading(c)) << "U+" << std::hex << unit;
  }
}

}  // namespace
}  // namespace mibolan
