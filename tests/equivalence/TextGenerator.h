#pragma once

// Random texts for comparing the engine with the literal conversion, weighted toward what the
// polyphone rules look at: their characters, their neighbours, blanks and line breaks.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <random>
#include <string>
#include <string_view>

namespace mibolan::testing {

// Every character that a rule is for or compares with, and the brackets of 《乐》.
inline constexpr std::u16string_view kRuleCharacters =
    u"游乐呱谁行为背重庆见低牛相片机册纸照儿白看弟护守家门管押差别错额距和暖异客富不法害难人情还乡俗你"
    u"给击口清原柳银这那成六十更换替三调皮协剂色空少年女小壮方时圈里啃养器曲礼音《》削竹简苹果了知飞"
    u"向叛靠违捶长上大着得在幼癣出高个肉羊毛一身体脂膘疙瘩到蓝几眼水快往消兄团";

// Invisible characters that reading by word looks through, and that the page shows as they are.
inline constexpr std::u16string_view kInvisibleCharacters[] = {
    u"\u00AD", u"\u034F", u"\u200B", u"\u200C", u"\u200D",     u"\u200E",
    u"\u2060", u"\uFE00", u"\uFE0F", u"\uFEFF", u"\U000E0100", u"\U000E0061",
};

// Characters with readings of note, characters without a line, and symbols that code page 936
// writes in two bytes: ü, 肀, 乄, 〇, the full-width comma, the ideographic full stop.
inline constexpr std::u16string_view kOtherCharacters = u"我爱人安中国的六贵女略绿虐去需雨俩嗯ü肀乄〇，。";

// Each rule's character in a context that makes the rule match; pieces of them make near misses.
inline constexpr std::u16string_view kRuleContexts[] = {
    u"重庆",   u"重重", u"低见牛", u"相片",     u"照相",   u"儿白相", u"看家",   u"差别",   u"暖和和", u"为异客",
    u"为富不", u"为人", u"难为情", u"还乡",     u"行行",   u"行 行",  u"行柳",   u"银行",   u"柳成行", u"六十行",
    u"更换",   u"三更", u"调皮",   u"空调",     u"少年",   u"少 壮",  u"方少时", u"年少",   u"圈里啃", u"圈养",
    u"乐器",   u"礼乐", u"《乐》", u"削皮",     u"削竹简", u"削苹果", u"知了",   u"飞不了", u"背叛",   u"违背",
    u"捶捶背", u"长大", u"长羊毛", u"长长到蓝", u"水里长", u"往上长", u"消长",   u"成长",   u"兄长",   u"团长",
};

inline constexpr std::u16string_view kSeparators[] = {u" ", u"\r\n", u"\n", u"\r", u"\t", u"a", u"1"};

class TextGenerator {
 public:
  explicit TextGenerator(std::uint64_t seed) : random_(seed) {}

  // A text of about 0 to maxLength units, made of rule contexts or parts of them, single
  // characters, line breaks and surrogate pairs. `withLoneSurrogates` false keeps the text
  // convertible to UTF-8.
  std::u16string Text(std::size_t maxLength, bool withLoneSurrogates = true) {
    std::u16string text;
    const std::size_t length = Below(maxLength + 1);
    while (text.size() < length) AppendPiece(text, withLoneSurrogates);
    return text;
  }

  std::size_t Below(std::size_t bound) { return std::uniform_int_distribution<std::size_t>(0, bound - 1)(random_); }

 private:
  char16_t Unit(unsigned first, unsigned last) {
    return static_cast<char16_t>(std::uniform_int_distribution<unsigned>(first, last)(random_));
  }

  char16_t AnyOf(std::u16string_view units) { return units[Below(units.size())]; }

  void AppendPiece(std::u16string& text, bool withLoneSurrogates) {
    const std::size_t kind = Below(100);
    if (kind < 15) {
      const std::u16string_view context = kRuleContexts[Below(std::size(kRuleContexts))];
      const std::size_t start = Below(3) == 0 ? Below(context.size()) : 0;
      const std::size_t length = Below(3) == 0 ? Below(context.size() - start) + 1 : context.size();
      text += context.substr(start, length);
    } else if (kind < 50) {
      text += AnyOf(kRuleCharacters);
    } else if (kind < 65) {
      text += kSeparators[Below(std::size(kSeparators))];
    } else if (kind < 75) {
      text += AnyOf(kOtherCharacters);
    } else if (kind < 85) {
      text += Unit(0x4E00, 0x9FA5);  // the range of the dictionary's heads
    } else if (kind < 87) {
      text += kInvisibleCharacters[Below(std::size(kInvisibleCharacters))];
    } else if (kind < 93) {
      const char16_t unit = Unit(0, 0xFFFF);
      if (withLoneSurrogates || unit < 0xD800 || unit > 0xDFFF) text += unit;
    } else if (kind < 97 || !withLoneSurrogates) {
      text += Unit(0xD800, 0xDBFF);  // a pair: a character beyond the BMP
      text += Unit(0xDC00, 0xDFFF);
    } else {
      text += kind % 2 == 0 ? Unit(0xD800, 0xDBFF) : Unit(0xDC00, 0xDFFF);
    }
  }

  std::mt19937_64 random_;
};

// A number from the environment, or `fallback` when the variable is unset or not a number.
inline std::uint64_t NumberFromEnvironment(const char* name, std::uint64_t fallback) {
  const char* value = std::getenv(name);
  if (value == nullptr || *value == '\0') return fallback;
  char* end = nullptr;
  const unsigned long long number = std::strtoull(value, &end, 10);
  return *end == '\0' ? number : fallback;
}

// The units of `text` as "U+XXXX" codes, to name a failing text readably.
inline std::string UnitCodes(std::u16string_view text) {
  std::string codes;
  char code[8];
  for (char16_t unit : text) {
    std::snprintf(code, sizeof code, "%04X ", static_cast<unsigned>(unit));
    codes += code;
  }
  return codes;
}

}  // namespace mibolan::testing
