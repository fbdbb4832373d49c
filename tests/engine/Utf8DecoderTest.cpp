#include "Utf8Decoder.h"

#include <gtest/gtest.h>
#include <utf8.h>

#include <random>
#include <string>

#include "CaseNames.h"

namespace mibolan {
namespace {

struct DecodeCase {
  std::string bytes;
  bool valid;
  std::uint64_t errorOffset;  // where the bad sequence starts, when not valid
  std::u16string text;        // the decoded text, when valid
};

void PrintTo(const DecodeCase& c, std::ostream* out) { *out << test::ReadableBytes(c.bytes); }

class Utf8DecoderTest : public testing::TestWithParam<DecodeCase> {};

// Decodes `bytes` fed in pieces of `pieceSize`; false at the first problem.
bool DecodeInPieces(Utf8Decoder& decoder, const std::string& bytes, std::size_t pieceSize, std::u16string& out) {
  for (std::size_t i = 0; i < bytes.size(); i += pieceSize) {
    if (!decoder.Decode(std::string_view(bytes).substr(i, pieceSize), out)) return false;
  }
  return decoder.Finish();
}

TEST_P(Utf8DecoderTest, AcceptsExactlyWellFormedUtf8WhereverThePiecesSplit) {
  const DecodeCase& c = GetParam();
  for (std::size_t pieceSize = 1; pieceSize <= c.bytes.size() + 1; ++pieceSize) {
    Utf8Decoder decoder;
    std::u16string out;
    ASSERT_EQ(DecodeInPieces(decoder, c.bytes, pieceSize, out), c.valid) << "piece size " << pieceSize;
    if (c.valid) {
      EXPECT_EQ(out, c.text);
    } else {
      EXPECT_EQ(decoder.ErrorOffset(), c.errorOffset) << "piece size " << pieceSize;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Utf8DecoderTest,
    testing::Values(DecodeCase{"", true, 0, u""}, DecodeCase{"abc", true, 0, u"abc"},
                    DecodeCase{"\xE4\xBA\xBA", true, 0, u"人"},
                    DecodeCase{std::string("a\0b", 3), true, 0, std::u16string(u"a\0b", 3)},
                    DecodeCase{"\xC3\xBC\xF0\xA0\x80\x80", true, 0, u"ü\U00020000"},
                    DecodeCase{"\xEF\xBF\xBF\xF4\x8F\xBF\xBF", true, 0, u"\uFFFF\U0010FFFF"},
                    // A byte-order mark is skipped at the start only.
                    DecodeCase{"\xEF\xBB\xBF人", true, 0, u"人"}, DecodeCase{"a\xEF\xBB\xBF", true, 0, u"a\uFEFF"},
                    // Overlong forms.
                    DecodeCase{"ab\xC0\xAF", false, 2, u""}, DecodeCase{"\xC1\xBF", false, 0, u""},
                    DecodeCase{"x\xE0\x80\xAF", false, 1, u""}, DecodeCase{"\xF0\x80\x80\xAF", false, 0, u""},
                    // Encoded surrogates and code points beyond U+10FFFF.
                    DecodeCase{"a\xED\xA0\x80", false, 1, u""}, DecodeCase{"\xED\xBF\xBF", false, 0, u""},
                    DecodeCase{"\xF4\x90\x80\x80", false, 0, u""}, DecodeCase{"\xF5\x80\x80\x80", false, 0, u""},
                    DecodeCase{"\xFF", false, 0, u""},
                    // Stray continuation bytes and interrupted sequences.
                    DecodeCase{"人\x80", false, 3, u""},
                    DecodeCase{"\xE4\xBA"
                               "a",
                               false, 0, u""},
                    DecodeCase{"ab\xE4\xBA\xE4\xBA\xBA", false, 2, u""},
                    // Truncated at the end of the input.
                    DecodeCase{"abc\xE4\xBA", false, 3, u""}, DecodeCase{"\xF0\xA0\x80", false, 0, u""},
                    DecodeCase{"\xC3", false, 0, u""}));

// The decoder agrees with the UTF-8 library on random byte strings, whole or in pieces.
TEST(Utf8Decoder, AgreesWithTheLibraryOnRandomBytes) {
  std::mt19937 random(20261207);
  const std::string alphabet = "a\x80\xBF\xC2\xC3\xDF\xE0\xE4\xED\xEF\xF0\xF4\xF5\xA0\x90\x8F\xBA";
  for (int round = 0; round < 20000; ++round) {
    std::string bytes(random() % 8, ' ');
    for (char& byte : bytes) byte = alphabet[random() % alphabet.size()];
    const bool expected = utf8::is_valid(bytes.begin(), bytes.end());
    Utf8Decoder decoder;
    std::u16string out;
    ASSERT_EQ(DecodeInPieces(decoder, bytes, 1 + random() % 3, out), expected);
    if (!expected) {
      const auto firstBad = static_cast<std::uint64_t>(utf8::find_invalid(bytes.begin(), bytes.end()) - bytes.begin());
      EXPECT_EQ(decoder.ErrorOffset(), firstBad);
    }
  }
}

}  // namespace
}  // namespace mibolan
