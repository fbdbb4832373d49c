#include <mibolan/ConvertText.h>

#include <gtest/gtest.h>
#include <sched.h>

#include <string>
#include <thread>
#include <vector>

#include "CaseNames.h"
#include "Processors.h"

namespace mibolan {
namespace {

struct PassCase {
  std::u16string input;
  std::u16string pinyin;     // the "rén " style
  std::u16string annotated;  // the "人(rén)" style
};

void PrintTo(const PassCase& c, std::ostream* out) { *out << test::Readable(c.input); }

class ConvertTextTest : public testing::TestWithParam<PassCase> {};

TEST_P(ConvertTextTest, WritesEachStyle) {
  const PassCase& c = GetParam();
  EXPECT_EQ(ConvertText(c.input, Style::Pinyin), c.pinyin);
  EXPECT_EQ(ConvertText(c.input, Style::Annotated), c.annotated);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ConvertTextTest,
    testing::Values(
        PassCase{u"", u"", u""}, PassCase{u"我爱人", u"wǒ ài rén ", u"我(wǒ)爱(ài)人(rén)"},
        PassCase{u"人", u"rén ", u"人(rén)"},
        // Letters, digits, blanks, full-width punctuation and line breaks leave no trace.
        PassCase{u"ab 12，人\r\n安", u"rén ān ", u"人(rén)安(ān)"}, PassCase{u"Hello, world! 123\t\r\n", u"", u""},
        // Neutral tone: no digit, no mark.
        PassCase{u"的", u"de ", u"的(de)"}, PassCase{u"六", u"liù ", u"六(liù)"}, PassCase{u"贵", u"guì ", u"贵(guì)"},
        PassCase{u"女", u"nǚ ", u"女(nǚ)"}, PassCase{u"略", u"lüè ", u"略(lüè)"},
        // "ü" passes the double-byte test but heads no line; 肀 and 〇 have none either.
        PassCase{u"ü肀〇乄", u"", u""},
        // A context reading without tone digit is shown whole.
        PassCase{u"暖和", u"nuǎn huo ", u"暖(nuǎn)和(huo)"},
        // Rules look at the neighbours in the input, skipped characters included.
        PassCase{u"银行", u"yín háng ", u"银(yín)行(háng)"}, PassCase{u"行 行", u"háng háng ", u"行(háng)行(háng)"},
        PassCase{u"重庆很重", u"chóng qìng hěn zhòng ", u"重(chóng)庆(qìng)很(hěn)重(zhòng)"},
        PassCase{u"三百六十行", u"sān bǎi liù shí háng ", u"三(sān)百(bǎi)六(liù)十(shí)行(háng)"},
        PassCase{u"我成长", u"wǒ chéng zhǎng ", u"我(wǒ)成(chéng)长(zhǎng)"}, PassCase{u"谁", u"shuí ", u"谁(shuí)"},
        // Characters outside the BMP and lone surrogates are dropped, never split or garbled.
        PassCase{u"人\U00020000\xD800安\xDC00", u"rén ān ", u"人(rén)安(ān)"},
        // Traditional forms and other GBK characters have their own lines.
        PassCase{u"這們", u"zhèi men ", u"這(zhèi)們(men)"},
        PassCase{u"俩嗯欸", u"liǎng èn eà ", u"俩(liǎng)嗯(èn)欸(eà)"}));

TEST(ConvertText, TheWelcomeTextConvertsInBothStyles) {
  const std::u16string welcome = u"欢迎访问Kavodi！在这个文本框里输入要产生拼音的文字！\r\n";
  EXPECT_EQ(ConvertText(welcome, Style::Pinyin),
            u"huān yíng fǎng wèn zài zhè gè wén běn kuāng lǐ shū rù yào chǎn shēng pīn yīn de wén zì ");
  EXPECT_EQ(ConvertText(welcome, Style::Annotated).substr(0, 14), u"欢(huān)迎(yíng)");
}

// A container or `taskset` may allow fewer processors than the machine has; two threads on one
// processor would only take turns.
TEST(UsableProcessors, FollowsTheAffinityMask) {
  cpu_set_t allowed;
  ASSERT_EQ(sched_getaffinity(0, sizeof allowed, &allowed), 0);
  EXPECT_EQ(UsableProcessors(), static_cast<unsigned>(CPU_COUNT(&allowed)));
  std::size_t first = 0;
  while (!CPU_ISSET(first, &allowed)) ++first;
  cpu_set_t one;
  CPU_ZERO(&one);
  CPU_SET(first, &one);
  ASSERT_EQ(sched_setaffinity(0, sizeof one, &one), 0);
  EXPECT_EQ(UsableProcessors(), 1U);
  ASSERT_EQ(sched_setaffinity(0, sizeof allowed, &allowed), 0);
}

// A helper kept off the processor of the thread it helps: each call starts again from the
// process's processors, so following that thread from one processor to another never leaves the
// helper without one.
TEST(StayOffProcessor, LeavesOutOnlyTheLastProcessorNamed) {
  cpu_set_t allowed;
  ASSERT_EQ(sched_getaffinity(0, sizeof allowed, &allowed), 0);
  if (CPU_COUNT(&allowed) < 2) GTEST_SKIP() << "one usable processor: there is none to keep off";
  std::vector<std::size_t> usable;
  for (std::size_t processor = 0; processor < CPU_SETSIZE; ++processor) {
    if (CPU_ISSET(processor, &allowed)) usable.push_back(processor);
  }
  EXPECT_TRUE(CPU_ISSET(static_cast<std::size_t>(CurrentProcessor()), &allowed));
  std::thread([&] {
    for (const std::size_t processor : {usable[0], usable[1], usable[0]}) {
      StayOffProcessor(static_cast<int>(processor));
      cpu_set_t now;
      ASSERT_EQ(sched_getaffinity(0, sizeof now, &now), 0);
      CPU_SET(processor, &now);
      EXPECT_TRUE(CPU_EQUAL(&now, &allowed)) << "kept off " << processor;
      EXPECT_NE(static_cast<std::size_t>(CurrentProcessor()), processor);
    }
  }).join();
  cpu_set_t mine;
  ASSERT_EQ(sched_getaffinity(0, sizeof mine, &mine), 0);
  EXPECT_TRUE(CPU_EQUAL(&mine, &allowed)) << "the calling thread keeps its processors";
}

}  // namespace
}  // namespace mibolan
