// Readings by word and the tone changes of 一 and 不, case by case: words that decide a
// polyphone, segmentations that greedy matching gets wrong, the model where no word decides,
// traditional characters, and the tones that textbooks print.
#include <gtest/gtest.h>

#include <string>

#include <mibolan/ConvertText.h>
#include <mibolan/Readings.h>

#include "CaseNames.h"

namespace mibolan {
namespace {

struct WordCase {
  std::u16string text;
  std::u16string byWord;     // --words, pinyin style
  std::u16string withTones;  // --words --tone-sandhi; empty when it is byWord
};

void PrintTo(const WordCase& c, std::ostream* out) { *out << test::Readable(c.text); }

class ReadByWord : public testing::TestWithParam<WordCase> {};

TEST_P(ReadByWord, GivesTheReadingsOfTheWords) {
  const WordCase& c = GetParam();
  EXPECT_EQ(ConvertText(c.text, {.readBy = ReadBy::Word}), c.byWord);
  const std::u16string& withTones = c.withTones.empty() ? c.byWord : c.withTones;
  EXPECT_EQ(ConvertText(c.text, {.readBy = ReadBy::Word, .toneSandhi = true}), withTones);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadByWord,
    testing::Values(
        // Words decide polyphones that the character's own reading gets wrong.
        WordCase{u"校长觉得", u"xiào zhǎng jué de ", u""}, WordCase{u"不同的作为", u"bù tóng de zuò wéi ", u""},
        WordCase{u"只有重新应用", u"zhǐ yǒu chóng xīn yìng yòng ", u""}, WordCase{u"处理", u"chǔ lǐ ", u""},
        WordCase{u"长大", u"zhǎng dà ", u""}, WordCase{u"重庆很重要", u"chóng qìng hěn zhòng yào ", u""},
        // The most probable split, not the longest words first: 研究/生命, 和/服务.
        WordCase{u"研究生命", u"yán jiū shēng mìng ", u""}, WordCase{u"和服务", u"hé fú wù ", u""},
        // Where no word decides, the neighbours do: the particles and the measure word.
        WordCase{u"跑得快", u"pǎo de kuài ", u""}, WordCase{u"慢慢地走", u"màn màn de zǒu ", u""},
        WordCase{u"睡着了", u"shuì zháo le ", u""}, WordCase{u"只看见", u"zhǐ kàn jiàn ", u""},
        // A word listed alone tells nothing of where a text starts or ends: a particle that ends
        // a sentence (酒吧 is no reason for 吧 at the end), 的 at the start of a line (目的 is no
        // reason either), an adjective before a full stop.
        WordCase{u"好吧。走吧", u"hǎo ba zǒu ba ", u""},
        WordCase{u"中的文件\n中的字符", u"zhōng de wén jiàn zhōng de zì fú ", u""},
        WordCase{u"这条河很长。", u"zhè tiáo hé hěn cháng ", u""},
        // A particle leans on the word before it: alone at the start of a run (a text, a line,
        // after punctuation) there is none, and it reads as the dictionary has it; after a
        // closing quotation mark or bracket, the quoted words are the word before it.
        WordCase{u"过几天再说", u"guò jǐ tiān zài shuō ", u""},
        WordCase{u"我去过北京。过两天再去", u"wǒ qù guo běi jīng guò liǎng tiān zài qù ", u""},
        WordCase{u"他来过\n过几天", u"tā lái guo guò jǐ tiān ", u""},
        WordCase{u"地很大，得第一名", u"dì hěn dà dé dì yī míng ", u""},
        WordCase{u"说得好，高兴地笑", u"shuō de hǎo gāo xìng de xiào ", u""},
        WordCase{u"“砰”地一声，表现(act)得好", u"pēng de yī shēng biǎo xiàn de hǎo ",
                 u"pēng de yì shēng biǎo xiàn de hǎo "},
        // A character alone reads as running text reads it, where the dictionary's reading is
        // one that running text hardly knows; a particle keeps its own.
        WordCase{u"消，罗，啥，吧", u"xiāo luó shá ba ", u""},
        // Traditional characters read by word as well.
        WordCase{u"覺得銀行長大", u"jué de yín háng zhǎng dà ", u""},
        // Characters outside any word, and what is not converted, as by character.
        WordCase{u"人，a1 ü", u"rén ", u""}, WordCase{u"", u"", u""},
        // The tone changes of 一 and 不, and where 一 keeps its own tone.
        WordCase{u"一个不要", u"yī gè bù yào ", u"yí gè bú yào "},
        WordCase{u"一天不好", u"yī tiān bù hǎo ", u"yì tiān bù hǎo "}, WordCase{u"不是", u"bù shì ", u"bú shì "},
        WordCase{u"第一，十一，一二三，统一，一年级", u"dì yī shí yī yī èr sān tǒng yī yī nián jí ", u""},
        WordCase{u"一加一等于二，三减一，六乘一百，一比较",
                 u"yī jiā yī děng yú èr sān jiǎn yī liù chéng yī bǎi yī bǐ jiào ",
                 u"yī jiā yī děng yú èr sān jiǎn yī liù chéng yì bǎi yì bǐ jiào "},
        WordCase{u"看一看，看了一看", u"kàn yī kàn kàn le yī kàn ", u"kàn yi kàn kàn le yi kàn "},
        WordCase{u"看一看书", u"kàn yī kàn shū ", u"kàn yi kàn shū "},
        // Not a verb repeated: a measure word counted one by one; an idiom, where 一 is not
        // unstressed.
        WordCase{u"一步一步，一天一天", u"yī bù yī bù yī tiān yī tiān ", u"yí bù yí bù yì tiān yì tiān "},
        WordCase{u"数一数二", u"shǔ yī shǔ èr ", u"shǔ yì shǔ èr "},
        // 不 unstressed between a verb and its complement, and between a word and its
        // repetition; not in an idiom, nor where it counts.
        WordCase{u"对不起，差不多，受不了，下不來，迫不及待",
                 u"duì bù qǐ chà bù duō shòu bù liǎo xià bù lái pò bù jí dài ",
                 u"duì bu qǐ chà bu duō shòu bu liǎo xià bu lái pò bù jí dài "},
        WordCase{u"去不去，喜不喜欢，一动不动，可能不能", u"qù bù qù xǐ bù xǐ huan yī dòng bù dòng kě néng bù néng ",
                 u"qù bu qù xǐ bu xǐ huan yí dòng bú dòng kě néng bù néng "},
        WordCase{u"一", u"yī ", u""},
        // Characters beyond the dictionary: 〇, an extension character, a compatibility ideograph.
        WordCase{u"二〇二三年", u"èr líng èr sān nián ", u""}, WordCase{u"𬌗\uF900", u"hé qǐ ", u""},
        // Neutral tones of the words, with and without the tone changes.
        WordCase{u"妈妈看看一本书，朋友们站起来了", u"mā ma kàn kan yī běn shū péng you men zhàn qǐ lai le ",
                 u"mā ma kàn kan yì běn shū péng you men zhàn qǐ lai le "}));

// Invisible characters inside a word split nothing: the readings are the word's, and the styles
// that write text keep them after the character they follow. Reading by character alone keeps
// the window's behaviour, in which they stand between a rule's characters.
struct InvisibleCase {
  const char* name;
  std::u16string text;
  ConversionOptions options;
  std::u16string output;
};

TEST(ReadByWord, InvisibleCharactersSplitNoWord) {
  const ConversionOptions words{.readBy = ReadBy::Word};
  const ConversionOptions annotated{.style = Style::Annotated, .readBy = ReadBy::Word};
  const ConversionOptions html{.style = Style::Html, .readBy = ReadBy::Word};
  const ConversionOptions tones{.toneSandhi = true};
  const InvisibleCase cases[] = {
      {"zero-width joiner", u"银\u200D行", words, u"yín háng "},
      {"variation selector", u"银\uFE00行", words, u"yín háng "},
      {"variation selector beyond the BMP", u"银\U000E0100行", words, u"yín háng "},
      {"soft hyphen, zero-width space and mark", u"银\u00AD\u200B\u200E行", words, u"yín háng "},
      {"byte-order mark and tag", u"银\uFEFF\U000E0041行", words, u"yín háng "},
      {"the model's neighbours", u"跑\u200D得\u2060快", words, u"pǎo de kuài "},
      {"annotated keeps them", u"\u200B银\uFE00\u200D行\u200B。\u200D", annotated,
       u"银\uFE00\u200D(yín)行\u200B(háng)"},
      {"the page keeps them in place", u"\u200B银\u200D行。\u200D", html,
       u"\u200B<ruby>银\u200D<rp>(</rp><rt>yín</rt><rp>)</rp>行<rp>(</rp><rt>háng</rt><rp>)</rp></ruby>。\u200D"},
      {"tone changes across a joiner", u"一\u200D个不\u00AD是", tones, u"yí gè bú shì "},
      {"a run too long to be invisible", u"银" + std::u16string(33, u'\u200D') + u"行", words, u"yín xíng "},
      {"by character alone, as the window reads", u"银\u200D行", {}, u"yín xíng "},
  };
  for (const InvisibleCase& c : cases) EXPECT_EQ(ConvertText(c.text, c.options), c.output) << c.name;

  const std::vector<CharacterReading> readings = ReadText(u"\U000E0100银\uFE00\uFE01行", words);
  ASSERT_EQ(readings.size(), 2U);
  EXPECT_EQ(readings[0], (CharacterReading{2, "yin2", u"yín"}));
  EXPECT_EQ(readings[1], (CharacterReading{5, "hang2", u"háng"}));
}

// The window's reading by character is untouched by the data of the reading by word.
TEST(ReadByWord, LeavesTheReadingByCharacterAsItWas) {
  EXPECT_EQ(ConvertText(u"校长觉得跑得快一个", Style::Pinyin), u"xiào cháng jiào dé pǎo dé kuài yī gè ");
  EXPECT_EQ(ConvertText(u"二〇𬌗爲", Style::Pinyin), u"èr wèi ");
}

// Traditional and variant characters read as their simplified forms, words, model and all, and
// the output keeps the text's own characters.
TEST(ReadByWord, ReadsTraditionalTextAsItsSimplifiedForm) {
  const std::u16string pairs[][2] = {
      {u"因爲我們爲了衆人，裏面", u"因为我们为了众人，里面"},
      {u"說話的時候長大了，還是覺得銀行長說", u"说话的时候长大了，还是觉得银行长说"},
      {u"這條河很長，他們參與摻和", u"这条河很长，他们参与掺和"},
  };
  for (const auto& [traditional, simplified] : pairs) {
    EXPECT_EQ(ConvertText(traditional, {.readBy = ReadBy::Word}), ConvertText(simplified, {.readBy = ReadBy::Word}))
        << test::Readable(traditional);
  }
  EXPECT_EQ(ConvertText(u"因爲", {.style = Style::Annotated, .readBy = ReadBy::Word}), u"因(yīn)爲(wèi)");
}

}  // namespace
}  // namespace mibolan
