// Converts standard input to pinyin as it arrives, one piece at a time, keeping its lines, as
// `convert_stdin < text.txt` or `some-program | convert_stdin`. Build it against the installed
// library:
//   c++ -std=c++20 convert_stdin.cpp $(pkg-config --cflags --libs mibolan) -o convert_stdin
#include <iostream>
#include <string>

#include <mibolan/Utf8Converter.h>

int main() {
  mibolan::ConversionOptions options;
  options.lineBreaks = mibolan::LineBreaks::Keep;
  mibolan::Utf8Converter converter(options);
  std::string piece(4096, '\0');
  std::string pinyin;
  bool ok = true;
  // Pieces may end inside a character: the converter waits for the rest of it.
  while (ok && std::cin.read(piece.data(), static_cast<std::streamsize>(piece.size())).gcount() > 0) {
    ok = converter.Feed(std::string_view(piece.data(), static_cast<std::size_t>(std::cin.gcount())), pinyin);
    std::cout << pinyin;
    pinyin.clear();
  }
  if (ok) ok = converter.Finish(pinyin);
  std::cout << pinyin << std::flush;
  if (!ok) {
    std::cerr << "convert_stdin: the input is not UTF-8 at byte " << converter.ErrorOffset() << '\n';
    return 1;
  }
}
