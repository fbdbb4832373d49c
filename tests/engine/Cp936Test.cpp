#include "Cp936.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <array>

namespace mibolan {
namespace {

// How many bytes the system's CP936 converter writes for the unit; 0 when it cannot.
int SystemCp936Length(iconv_t converter, char16_t unit) {
  iconv(converter, nullptr, nullptr, nullptr, nullptr);
  std::array<char, 2> in{static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
  std::array<char, 8> out{};
  char* inPointer = in.data();
  char* outPointer = out.data();
  std::size_t inLeft = in.size();
  std::size_t outLeft = out.size();
  if (iconv(converter, &inPointer, &inLeft, &outPointer, &outLeft) == static_cast<std::size_t>(-1)) return 0;
  return static_cast<int>(out.size() - outLeft);
}

TEST(Cp936, DoubleByteTestAgreesWithTheSystemConverterForEveryUnit) {
  iconv_t converter = iconv_open("CP936", "UTF-16LE");
  ASSERT_NE(converter, reinterpret_cast<iconv_t>(-1)) << "the system has no CP936 converter";
  int doubleByte = 0;
  for (unsigned unit = 0; unit <= 0xFFFF; ++unit) {
    const auto c = static_cast<char16_t>(unit);
    const bool expected = SystemCp936Length(converter, c) == 2;
    ASSERT_EQ(IsDoubleByteInCp936(c), expected) << "U+" << std::hex << unit;
    doubleByte += expected ? 1 : 0;
  }
  iconv_close(converter);
  EXPECT_GT(doubleByte, 21000);
}

TEST(Cp936, KnownUnits) {
  EXPECT_FALSE(IsDoubleByteInCp936(u'A'));
  EXPECT_FALSE(IsDoubleByteInCp936(u' '));
  EXPECT_FALSE(IsDoubleByteInCp936(u'\r'));
  EXPECT_FALSE(IsDoubleByteInCp936(u'\u20AC'));  // the euro sign is the single byte 0x80
  EXPECT_FALSE(IsDoubleByteInCp936(u'\xD800'));
  EXPECT_FALSE(IsDoubleByteInCp936(u'\uAC00'));  // Hangul: not in the code page at all
  EXPECT_TRUE(IsDoubleByteInCp936(u'人'));
  EXPECT_TRUE(IsDoubleByteInCp936(u'\u00FC'));
  EXPECT_TRUE(IsDoubleByteInCp936(u'，'));
  EXPECT_TRUE(IsDoubleByteInCp936(u'\u9FA5'));
}

}  // namespace
}  // namespace mibolan
