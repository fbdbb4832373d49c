#include "LegacyDecoder.h"

#include <gtest/gtest.h>

#include <string>

namespace mibolan::cli {
namespace {

struct Decoded {
  bool ok = true;
  std::u16string text;
  std::uint64_t errorOffset = 0;
};

// Decodes `bytes` given in pieces of `pieceSize` bytes.
Decoded DecodeInPieces(const char* encoding, std::string_view bytes, std::size_t pieceSize) {
  LegacyDecoder decoder(encoding);
  Decoded result;
  for (std::size_t i = 0; i < bytes.size() && result.ok; i += pieceSize) {
    result.ok = decoder.Decode(bytes.substr(i, pieceSize), result.text);
  }
  if (result.ok) result.ok = decoder.Finish();
  result.errorOffset = decoder.ErrorOffset();
  return result;
}

struct GoodCase {
  const char* encoding;
  std::string bytes;
  std::u16string text;
};

TEST(LegacyDecoder, DecodesWhereverThePiecesSplit) {
  const GoodCase cases[] = {
      {"GBK", "\xCE\xD2\xB0\xAE\xC8\xCB, ok\r\n", u"我爱人, ok\r\n"},
      {"GBK", "\xC2\xCC\xA8\xB9", u"绿ü"},
      {"GB18030", "\xCE\xD2\x95\x32\x82\x36\xA8\xB9", u"我\U00020000ü"},
      // A byte-order mark is skipped at the start only.
      {"GB18030", "\x84\x31\x95\x33\xC8\xCB\x84\x31\x95\x33", u"人\uFEFF"},
      {"GBK", "", u""},
  };
  for (const GoodCase& c : cases) {
    for (std::size_t pieceSize = 1; pieceSize <= c.bytes.size() + 1; ++pieceSize) {
      const Decoded result = DecodeInPieces(c.encoding, c.bytes, pieceSize);
      EXPECT_TRUE(result.ok) << c.encoding << " piece size " << pieceSize;
      EXPECT_EQ(result.text, c.text) << c.encoding << " piece size " << pieceSize;
    }
  }
}

struct BadCase {
  const char* encoding;
  std::string bytes;
  std::uint64_t errorOffset;
};

TEST(LegacyDecoder, StopsAtTheFirstInvalidOrTruncatedSequence) {
  const BadCase cases[] = {
      {"GBK", "\xCE\xD2\xCE\x20", 2},                              // a lead byte without its trail byte
      {"GBK", "ab\xFF", 2},           {"GBK", "\xCE\xD2\xB0", 2},  // the text ends inside a character
      {"GB18030", "\xCE\xD2\x80", 2}, {"GB18030", "\x81\x30\x81\x20", 0}, {"GB18030", "a\x95\x32\x82", 1},
  };
  for (const BadCase& c : cases) {
    for (std::size_t pieceSize = 1; pieceSize <= c.bytes.size(); ++pieceSize) {
      const Decoded result = DecodeInPieces(c.encoding, c.bytes, pieceSize);
      EXPECT_FALSE(result.ok) << c.encoding << " piece size " << pieceSize;
      EXPECT_EQ(result.errorOffset, c.errorOffset) << c.encoding << " piece size " << pieceSize;
    }
  }
}

TEST(LegacyDecoder, RefusesAnEncodingTheSystemCannotConvert) {
  EXPECT_THROW(LegacyDecoder("NO-SUCH-ENCODING"), std::system_error);
}

}  // namespace
}  // namespace mibolan::cli
