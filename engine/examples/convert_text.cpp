// Converts one UTF-8 string whole and prints its pinyin. Build it against the installed library:
//   c++ -std=c++20 convert_text.cpp $(pkg-config --cflags --libs mibolan) -o convert_text
#include <iostream>
#include <string>

#include <mibolan/Utf8Converter.h>

int main() {
  mibolan::ConversionOptions options;
  options.readBy = mibolan::ReadBy::Word;  // 银行 yín háng, 觉得 jué de
  mibolan::Utf8Converter converter(options);
  std::string pinyin;
  // A whole text is one piece followed by the end; false means the text is not UTF-8.
  if (!converter.Feed("我在银行觉得很好。", pinyin) || !converter.Finish(pinyin)) {
    std::cerr << "not UTF-8 at byte " << converter.ErrorOffset() << '\n';
    return 1;
  }
  std::cout << pinyin << '\n';
}
