#include "ReferencePass.h"

#include <iconv.h>

#include <array>
#include <cstddef>
#include <initializer_list>
#include <stdexcept>

#include <utf8.h>

#include "CharDictionary.h"
#include "MarkTone.h"

namespace mibolan::reference {

namespace {

using Position = std::int64_t;  // 1-based; 0 stands for "not found"

// `length` characters of `text` from 1-based `start`; shortened or empty past the end.
std::u16string_view Mid(std::u16string_view text, Position start, Position length) {
  if (start < 1 || length < 0) throw std::logic_error("Mid outside the text");
  const auto index = static_cast<std::size_t>(start - 1);
  if (index >= text.size()) return {};
  return text.substr(index, static_cast<std::size_t>(length));
}

// The first occurrence of `what` in `text` at or after 1-based `start`, or 0.
Position InStr(Position start, std::u16string_view text, std::u16string_view what) {
  const std::size_t found = text.find(what, static_cast<std::size_t>(start - 1));
  return found == std::u16string_view::npos ? 0 : static_cast<Position>(found) + 1;
}

bool IsOneOf(std::u16string_view window, std::initializer_list<std::u16string_view> literals) {
  for (std::u16string_view literal : literals) {
    if (window == literal) return true;
  }
  return false;
}

bool IsToneDigit(std::u16string_view tone) { return tone.size() == 1 && tone[0] >= u'1' && tone[0] <= u'5'; }

// Code page 936 lengths of all units, asked of iconv(3) once, one unit at a time.
std::array<bool, 0x10000> AskIconvForDoubleBytes() {
  iconv_t converter = iconv_open("CP936", "UTF-16LE");
  if (converter == reinterpret_cast<iconv_t>(static_cast<std::intptr_t>(-1))) {
    throw std::runtime_error("iconv cannot convert to CP936");
  }
  constexpr std::size_t kFailed = static_cast<std::size_t>(-1);
  std::array<bool, 0x10000> doubleByte{};
  for (unsigned unit = 0; unit < 0x10000; ++unit) {
    char in[2] = {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
    char out[8] = {};
    char* inNext = in;
    char* outNext = out;
    std::size_t inLeft = sizeof in;
    std::size_t outLeft = sizeof out;
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    bool converted = iconv(converter, &inNext, &inLeft, &outNext, &outLeft) != kFailed && inLeft == 0;
    converted = converted && iconv(converter, nullptr, nullptr, &outNext, &outLeft) != kFailed;
    const auto lead = static_cast<unsigned char>(out[0]);
    doubleByte[unit] = converted && sizeof out - outLeft == 2 && lead >= 0x81 && lead <= 0xFE;
  }
  iconv_close(converter);
  return doubleByte;
}

std::u16string ConvertPass(std::u16string_view text, const std::vector<std::u16string>& dictionaryParts, bool option1,
                           bool option3, bool keepLines) {
  // 1. The dictionary text, joined anew.
  std::u16string dictionary;
  for (const std::u16string& part : dictionaryParts) dictionary += part;

  // 2. The input, read once.
  const std::u16string input(text);
  const auto n = static_cast<std::int32_t>(input.size());
  std::u16string output;

  // 3. The walk.
  for (std::int32_t p = 1; p <= n; ++p) {
    const std::u16string_view c = Mid(input, p, 1);
    if (keepLines && c == u"\n") {
      output += p >= 2 && Mid(input, p - 1, 1) == u"\r" ? u"\r\n" : u"\n";
      continue;
    }
    if (!ReferenceIsDoubleByte(c[0])) continue;

    const Position entry = InStr(1, dictionary, c);
    const bool headsLine = entry == 1 || (entry > 2 && Mid(dictionary, entry - 2, 2) == u"\r\n");
    if (entry == 0 || !headsLine) continue;

    const Position blank = InStr(entry + 1, dictionary, u" ");
    const Position lineEnd = InStr(entry + 1, dictionary, u"\r\n");
    std::u16string reading(Mid(dictionary, blank + 1, lineEnd - blank - 1));

    const std::u16string context = ReferenceContextReading(c, input, p);
    if (!context.empty()) reading = context;

    const std::u16string tone(reading.empty() ? std::u16string_view{} : Mid(reading, Position(reading.size()), 1));
    std::u16string syllable = IsToneDigit(tone) ? reading.substr(0, reading.size() - 1) : reading;
    syllable = MarkTone(syllable, tone);

    if (option1) output += std::u16string(c) + u"(" + syllable + u")";
    if (option3) output += syllable + u" ";
  }
  // 4. The whole output at once.
  return output;
}

}  // namespace

std::u16string ReferenceConvertText(std::u16string_view text, const std::vector<std::u16string>& dictionaryParts,
                                    bool option1, bool option3) {
  return ConvertPass(text, dictionaryParts, option1, option3, false);
}

std::u16string ReferenceConvertTextKeepingLines(std::u16string_view text,
                                                const std::vector<std::u16string>& dictionaryParts, bool option1,
                                                bool option3) {
  return ConvertPass(text, dictionaryParts, option1, option3, true);
}

std::vector<std::u16string> DictionaryParts(std::string_view utf8Lines) {
  std::vector<std::u16string> lines;
  while (!utf8Lines.empty()) {
    const std::size_t end = utf8Lines.find('\n');
    if (end == std::string_view::npos) throw std::invalid_argument("dictionary line without its line end");
    lines.push_back(utf8::utf8to16(utf8Lines.substr(0, end)) + u"\r\n");
    utf8Lines.remove_prefix(end + 1);
  }
  constexpr std::size_t kParts = 13;
  std::vector<std::u16string> parts(kParts);
  for (std::size_t i = 0; i < lines.size(); ++i) parts[i * kParts / lines.size()] += lines[i];
  return parts;
}

const std::vector<std::u16string>& EmbeddedDictionaryParts() {
  static const std::vector<std::u16string> parts = DictionaryParts(CharDictionary::Embedded().Text());
  return parts;
}

bool ReferenceIsDoubleByte(char16_t unit) {
  static const std::array<bool, 0x10000> doubleByte = AskIconvForDoubleBytes();
  return doubleByte[unit];
}

std::u16string ReferenceContextReading(std::u16string_view c, std::u16string_view text, std::int32_t p) {
  // The windows; the previous ones are taken only where their rule's guard holds.
  const std::u16string_view next = Mid(text, p + 1, 1);
  const std::u16string_view nextTwo = Mid(text, p + 1, 2);
  const std::u16string_view nextThree = Mid(text, p + 1, 3);
  const auto previous = [&] { return Mid(text, p - 1, 1); };
  const auto previousTwo = [&] { return Mid(text, p - 2, 2); };

  std::u16string r;
  if (c == u"游") r = u"you2";                                                                      // 1
  if (c == u"乐") r = u"le4";                                                                       // 2
  if (c == u"呱") r = u"gua1";                                                                      // 3
  if (c == u"谁") r = u"shui2";                                                                     // 4
  if (c == u"行") r = u"xing2";                                                                     // 5
  if (c == u"为") r = u"wei4";                                                                      // 6
  if (c == u"背") r = u"bei1";                                                                      // 7
  if (c == u"重") r = u"zhong4";                                                                    // 8
  if (c == u"重" && IsOneOf(next, {u"庆", u"重"})) r = u"chong2";                                   // 9
  if (c == u"重" && p >= 2 && previous() == u"重") r = u"chong2";                                   // 10
  if (c == u"见" && p >= 2 && previous() == u"低" && next == u"牛") r = u"xian4";                   // 11
  if (c == u"相" && IsOneOf(next, {u"片", u"机", u"册", u"纸"})) r = u"xiang4";                     // 12
  if (c == u"相" && p >= 2 && previous() == u"照") r = u"xiang4";                                   // 13
  if (c == u"相" && p >= 3 && previousTwo() == u"儿白") r = u"xiang4";                              // 14
  if (c == u"看" && IsOneOf(next, {u"弟", u"护", u"守", u"家", u"门", u"管", u"押"})) r = u"kan1";  // 15
  if (c == u"差" && IsOneOf(next, {u"别", u"错", u"额", u"距"})) r = u"cha1";                       // 16
  if (c == u"和" && p >= 2 && previous() == u"暖") r = u"huo";                                      // 17
  if (c == u"和" && p >= 3 && previousTwo() == u"暖和") r = u"huo";                                 // 18
  if (c == u"为" && (IsOneOf(nextTwo, {u"异客", u"富不"}) || IsOneOf(next, {u"法", u"害", u"难", u"人"}))) {
    r = u"wei2";  // 19
  }
  if (c == u"为" && p >= 2 && previous() == u"难" && next == u"情") r = u"wei2";  // 20
  if (c == u"还" && IsOneOf(next, {u"乡", u"俗", u"你", u"给", u"击", u"口", u"清", u"原"})) {
    r = u"huan2";  // 21
  }
  if (c == u"行" && (IsOneOf(next, {u"行", u"家", u"柳"}) || IsOneOf(nextTwo, {u" 行", u"行柳"}))) {
    r = u"hang2";  // 22
  }
  if (c == u"行" && p >= 2 && IsOneOf(previous(), {u"行", u"银", u"这", u"那"})) r = u"hang2";         // 23
  if (c == u"行" && p >= 3 && IsOneOf(previousTwo(), {u"柳成", u"六十", u"行 "})) r = u"hang2";        // 24
  if (c == u"更" && IsOneOf(next, {u"换", u"替"})) r = u"geng1";                                       // 25
  if (c == u"更" && p >= 2 && previous() == u"三") r = u"geng1";                                       // 26
  if (c == u"调" && IsOneOf(next, {u"皮", u"协", u"剂", u"色"})) r = u"tiao2";                         // 27
  if (c == u"调" && p >= 2 && IsOneOf(previous(), {u"空", u"协"})) r = u"tiao2";                       // 28
  if (c == u"少" && (IsOneOf(next, {u"年", u"女", u"小", u"壮"}) || nextTwo == u" 壮")) r = u"shao4";  // 29
  if (c == u"少" && p >= 2 && previous() == u"方" && next == u"时") r = u"shao4";                      // 30
  if (c == u"少" && p >= 2 && previous() == u"年") r = u"shao4";                                       // 31
  if (c == u"圈" && (nextTwo == u"里啃" || next == u"养")) r = u"juan4";                               // 32
  if (c == u"乐" && IsOneOf(next, {u"器", u"曲"})) r = u"yue4";                                        // 33
  if (c == u"乐" && p >= 2 && IsOneOf(previous(), {u"礼", u"音"})) r = u"yue4";                        // 34
  if (c == u"乐" && p >= 2 && previous() == u"《" && next == u"》") r = u"yue4";                       // 35
  if (c == u"削" && (next == u"皮" || IsOneOf(nextTwo, {u"竹简", u"苹果"}))) r = u"xiao1";             // 36
  if (c == u"了" && p >= 2 && previous() == u"知") r = u"liao3";                                       // 37
  if (c == u"了" && p >= 3 && previousTwo() == u"飞不") r = u"liao3";                                  // 38
  if (c == u"背" && IsOneOf(next, {u"向", u"叛", u"靠"})) r = u"bei4";                                 // 39
  if (c == u"背" && p >= 2 && IsOneOf(previous(), {u"牛", u"向", u"违"})) r = u"bei4";                 // 40
  if (c == u"背" && p >= 3 && previousTwo() == u"捶捶") r = u"bei4";                                   // 41
  if (c == u"长" &&
      (IsOneOf(next, {u"上", u"成", u"大", u"着", u"得", u"在", u"幼", u"癣", u"出", u"高", u"个", u"肉"}) ||
       IsOneOf(nextTwo, {u"羊毛", u"了一", u"身体", u"脂膘", u"疙瘩", u"到蓝", u"了个", u"了几", u"眼皮"}) ||
       nextThree == u"长到蓝")) {
    r = u"zhang3";  // 42
  }
  if (c == u"长" && p >= 3 &&
      (IsOneOf(previousTwo(), {u"水里", u"快快", u"往上"}) || IsOneOf(previous(), {u"消", u"成", u"兄", u"团"}))) {
    r = u"zhang3";  // 43
  }
  return r;
}

}  // namespace mibolan::reference
