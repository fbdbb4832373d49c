#include "ContextReading.h"

#include <gtest/gtest.h>

#include <string>

#include "CaseNames.h"

#include "ContextRules.h"

namespace mibolan {
namespace {

struct ContextCase {
  std::u16string text;
  int position;  // 1-based
  std::string expected;
};

void PrintTo(const ContextCase& c, std::ostream* out) { *out << test::Readable(c.text) << " at " << c.position; }

class ContextReadingTest : public testing::TestWithParam<ContextCase> {};

TEST_P(ContextReadingTest, ChoosesTheReadingOfTheLastMatchingRule) {
  const ContextCase& c = GetParam();
  const auto index = static_cast<std::size_t>(c.position - 1);
  EXPECT_EQ(ContextReading(c.text[index], c.text, c.position), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ContextReadingTest,
    testing::Values(
        // Characters without rules, and rule characters whose context matches nothing.
        ContextCase{u"人", 1, ""}, ContextCase{u"a", 1, ""}, ContextCase{u" ", 1, ""}, ContextCase{u"看见", 2, ""},
        ContextCase{u"好", 1, ""}, ContextCase{u"了", 1, ""}, ContextCase{u"长", 1, ""},
        // Fixed readings.
        ContextCase{u"游", 1, "you2"}, ContextCase{u"谁", 1, "shui2"}, ContextCase{u"呱", 1, "gua1"},
        ContextCase{u"背", 1, "bei1"},
        // 见 needs both tests.
        ContextCase{u"风吹草低见牛羊", 5, "xian4"}, ContextCase{u"低见", 2, ""}, ContextCase{u"见牛", 1, ""},
        // 重: default, next, previous.
        ContextCase{u"很重", 2, "zhong4"}, ContextCase{u"重庆", 1, "chong2"}, ContextCase{u"重重", 1, "chong2"},
        ContextCase{u"重重", 2, "chong2"},
        // 行 with its neighbours, blanks included.
        ContextCase{u"行", 1, "xing2"}, ContextCase{u"银行", 2, "hang2"}, ContextCase{u"行家", 1, "hang2"},
        ContextCase{u"行行", 1, "hang2"}, ContextCase{u"行行", 2, "hang2"}, ContextCase{u"行 行", 1, "hang2"},
        ContextCase{u"行 行", 3, "hang2"}, ContextCase{u"三百六十行", 5, "hang2"}, ContextCase{u"\r\n行", 3, "xing2"},
        ContextCase{u"行走", 1, "xing2"},
        // 和: guarded look-behind, a reading without tone digit.
        ContextCase{u"和", 1, ""}, ContextCase{u"暖和", 2, "huo"}, ContextCase{u"暖和和", 3, "huo"},
        ContextCase{u"和平", 1, ""},
        // 了.
        ContextCase{u"知了", 2, "liao3"}, ContextCase{u"飞不了", 3, "liao3"}, ContextCase{u"好了", 2, ""},
        // 长: the whole rule is skipped below position 3.
        ContextCase{u"成长", 2, ""}, ContextCase{u"我成长", 3, "zhang3"}, ContextCase{u"长大", 1, "zhang3"},
        ContextCase{u"长到蓝天", 1, "zhang3"}, ContextCase{u"长城", 1, ""}, ContextCase{u"快快长", 3, "zhang3"},
        ContextCase{u"长了个", 1, "zhang3"}, ContextCase{u"长了", 1, ""},
        // 为.
        ContextCase{u"为异", 1, "wei4"}, ContextCase{u"为异客", 1, "wei2"}, ContextCase{u"难为情", 2, "wei2"},
        ContextCase{u"为人", 1, "wei2"}, ContextCase{u"因为", 2, "wei4"},
        // 乐.
        ContextCase{u"《乐》", 2, "yue4"}, ContextCase{u"快乐", 2, "le4"}, ContextCase{u"音乐", 2, "yue4"},
        ContextCase{u"乐器", 1, "yue4"}, ContextCase{u"《乐", 2, "le4"},
        // 少.
        ContextCase{u"少年", 1, "shao4"}, ContextCase{u"年少", 2, "shao4"}, ContextCase{u"少", 1, ""},
        ContextCase{u"少时", 1, ""}, ContextCase{u"方少时", 2, "shao4"}, ContextCase{u"少 壮", 1, "shao4"},
        // 削: a two-character literal never matches a one-character remainder.
        ContextCase{u"削苹", 1, ""}, ContextCase{u"削苹果", 1, "xiao1"}, ContextCase{u"削皮", 1, "xiao1"},
        // The rest of the characters with context rules.
        ContextCase{u"相片", 1, "xiang4"}, ContextCase{u"照相", 2, "xiang4"}, ContextCase{u"儿白相", 3, "xiang4"},
        ContextCase{u"相信", 1, ""}, ContextCase{u"看门", 1, "kan1"}, ContextCase{u"差别", 1, "cha1"},
        ContextCase{u"还乡", 1, "huan2"}, ContextCase{u"还是", 1, ""}, ContextCase{u"更换", 1, "geng1"},
        ContextCase{u"三更", 2, "geng1"}, ContextCase{u"调皮", 1, "tiao2"}, ContextCase{u"空调", 2, "tiao2"},
        ContextCase{u"圈养", 1, "juan4"}, ContextCase{u"圈里啃", 1, "juan4"}, ContextCase{u"背叛", 1, "bei4"},
        ContextCase{u"违背", 2, "bei4"}, ContextCase{u"捶捶背", 3, "bei4"}));

TEST(ContextRules, HoldFortyThreeRulesForTwentyOneCharacters) {
  std::u16string characters;
  for (const ContextRule& rule : kContextRules) {
    if (characters.find(rule.character) == std::u16string::npos) characters += rule.character;
  }
  EXPECT_EQ(kContextRules.size(), 43U);
  EXPECT_EQ(characters.size(), 21U);
}

TEST(ContextRules, AlwaysRulesComeBeforeTheContextRulesOfTheirCharacter) {
  for (std::size_t i = 0; i < kContextRules.size(); ++i) {
    if (kContextRules[i].condition != Condition::Always) continue;
    for (std::size_t j = 0; j < i; ++j) EXPECT_NE(kContextRules[j].character, kContextRules[i].character);
  }
}

TEST(ContextRules, GuardCoversEveryLookBehind) {
  for (const ContextRule& rule : kContextRules) {
    for (const WindowTest& test : rule.tests) {
      if (test.literals[0].empty()) continue;
      if (test.window == Window::Previous) {
        EXPECT_GE(rule.minPosition, 2);
      }
      if (test.window == Window::PreviousTwo) {
        EXPECT_GE(rule.minPosition, 3);
      }
    }
  }
}

}  // namespace
}  // namespace mibolan
