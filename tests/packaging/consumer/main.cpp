// A program of someone else's, built against the installed engine: the README's example.
#include <iostream>
#include <string>

#include <mibolan/ConvertText.h>
#include <mibolan/Utf8Converter.h>
#include <mibolan/Version.h>

static_assert(MIBOLAN_VERSION_MAJOR == 5, "built against the library of another major version");

int main() {
  mibolan::ConversionOptions options;
  options.style = mibolan::Style::Annotated;
  options.readBy = mibolan::ReadBy::Word;
  mibolan::Utf8Converter converter(options);
  std::string pinyin;
  converter.Feed("校长觉得", pinyin);
  converter.Finish(pinyin);
  std::cout << pinyin << '\n';
  // The window's way, on UTF-16 text.
  const std::u16string window = mibolan::ConvertText(u"我爱人", mibolan::Style::Pinyin);
  std::cout << window.size() << '\n';
}
