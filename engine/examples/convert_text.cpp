// Converts one UTF-8 string whole and prints its pinyin. Build it against the installed library:
//   c++ -std=c++20 convert_text.cpp $(pkg-config --cflags --libs mibolan) -o convert_text
#include <iostream>

#include <mibolan/Convert.h>

int main() {
  try {
    // By word: 银行 yín háng, 觉得 jué de.
    std::cout << mibolan::ConvertUtf8("我在银行觉得很好。", {.readBy = mibolan::ReadBy::Word}) << '\n';
  } catch (const mibolan::EncodingError& error) {
    std::cerr << "not UTF-8 at byte " << error.offset() << '\n';
    return 1;
  }
}
