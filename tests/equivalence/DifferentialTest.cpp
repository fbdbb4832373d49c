// The engine against the literal conversion: the same output for every text, in both styles.
// MIBOLAN_DIFFERENTIAL_TEXTS and MIBOLAN_DIFFERENTIAL_SEED make the random run longer or different.
#include <gtest/gtest.h>

#include <mibolan/ConvertText.h>

#include "CommandRunner.h"
#include "ReferencePass.h"
#include "TextGenerator.h"
#include "Utf.h"

namespace mibolan {
namespace {

using reference::ReferenceConvertText;
using testing::UnitCodes;

// The dictionary text the engine's table is generated from, in thirteen parts.
const std::vector<std::u16string>& DictionaryTextParts() {
  static const std::vector<std::u16string> parts = [] {
    return reference::DictionaryParts(testing_support::ReadFile(MIBOLAN_DICTIONARY_TEXT));
  }();
  return parts;
}

// Compares both styles; on a difference names the text by its units.
void ExpectSameAsReference(std::u16string_view text) {
  const std::vector<std::u16string>& parts = DictionaryTextParts();
  EXPECT_EQ(ToUtf8(ConvertText(text, Style::Annotated)), ToUtf8(ReferenceConvertText(text, parts, true, false)))
      << "annotated, text " << UnitCodes(text);
  EXPECT_EQ(ToUtf8(ConvertText(text, Style::Pinyin)), ToUtf8(ReferenceConvertText(text, parts, false, true)))
      << "pinyin, text " << UnitCodes(text);
}

TEST(ReferencePass, FollowsTheDefinitionOnItsOwn) {
  const std::vector<std::u16string>& parts = DictionaryTextParts();
  ASSERT_EQ(parts.size(), 13U);
  for (const std::u16string& part : parts) EXPECT_TRUE(part.ends_with(u"\r\n"));
  const struct {
    std::u16string_view text;
    std::u16string_view annotated;
    std::u16string_view pinyin;
  } cases[] = {
      {u"", u"", u""},
      {u"我爱人", u"我(wǒ)爱(ài)人(rén)", u"wǒ ài rén "},
      {u"ab 12，人\r\n安", u"人(rén)安(ān)", u"rén ān "},
      {u"的", u"的(de)", u"de "},
      {u"女略", u"女(nǚ)略(lüè)", u"nǚ lüè "},
      {u"ü肀", u"", u""},
      {u"暖和", u"暖(nuǎn)和(huo)", u"nuǎn huo "},
      {u"银行", u"银(yín)行(háng)", u"yín háng "},
  };
  for (const auto& each : cases) {
    EXPECT_EQ(ReferenceConvertText(each.text, parts, true, false), each.annotated) << UnitCodes(each.text);
    EXPECT_EQ(ReferenceConvertText(each.text, parts, false, true), each.pinyin) << UnitCodes(each.text);
    EXPECT_EQ(ReferenceConvertText(each.text, parts, false, false), u"");
  }
}

TEST(ReferencePass, EmbeddedDictionaryGivesTheSameText) {
  EXPECT_EQ(reference::EmbeddedDictionaryParts(), DictionaryTextParts());
}

TEST(EngineAgainstReference, EmptyAndRuleExamples) {
  const std::u16string_view texts[] = {
      u"",      u"风吹草低见牛羊", u"低见",     u"很重",     u"重庆",       u"重重",     u"行",
      u"银行",  u"行家",           u"行行",     u"行 行",    u"三百六十行", u"和",       u"暖和和",
      u"知了",  u"飞不了",         u"成长",     u"我成长",   u"为异",       u"难为情",   u"《乐》",
      u"快乐",  u"音乐",           u"少年",     u"年少",     u"少",         u"少时",     u"削苹",
      u"\n行",  u"银\n行",         u"长到蓝",   u"长长到蓝", u"捶捶背",     u"\r\n成长", u"消\r\n长",
      u"少 壮", u"为异客",         u"圈里啃",   u"儿白相",   u"方少时",     u"ü",        u"肀",
      u"六",    u"游谁呱背",       u"看见看家", u"调皮空调", u"更换三更",   u"还你",     u"差别",
  };
  for (std::u16string_view text : texts) ExpectSameAsReference(text);
}

// Every unit alone is a one-character text.
TEST(EngineAgainstReference, EverySingleUnit) {
  for (unsigned unit = 0; unit <= 0xFFFF; ++unit) {
    const char16_t text[] = {static_cast<char16_t>(unit)};
    ExpectSameAsReference(std::u16string_view(text, 1));
    if (::testing::Test::HasFailure()) return;  // one unit's report is enough
  }
}

TEST(EngineAgainstReference, SurrogatesAloneAndPaired) {
  const std::u16string_view texts[] = {
      u"\xD800",           u"\xDFFF",     u"人\xD800",         u"\xDC00人",          u"\xDBFF\xDFFF行",
      u"\xD83D\xDE00银行", u"银\xD800行", u"\xD840\xDC00长大", u"行\xDC00\xD800 行",
  };
  for (std::u16string_view text : texts) ExpectSameAsReference(text);
}

TEST(EngineAgainstReference, RandomTexts) {
  const std::uint64_t seed = testing::NumberFromEnvironment("MIBOLAN_DIFFERENTIAL_SEED", 20240601);
  const std::uint64_t count = testing::NumberFromEnvironment("MIBOLAN_DIFFERENTIAL_TEXTS", 3000);
  testing::TextGenerator generator(seed);
  for (std::uint64_t i = 0; i < count && !::testing::Test::HasFailure(); ++i) {
    SCOPED_TRACE("seed " + std::to_string(seed) + ", text " + std::to_string(i));
    ExpectSameAsReference(generator.Text(i % 10 == 0 ? 200 : 24));
  }
}

}  // namespace
}  // namespace mibolan
