// Times the literal reference conversion (a first-occurrence search of the whole dictionary
// text for every character, the dictionary joined anew for the pass) on one UTF-8 file.
//
//   literal_pass FILE
//
// Writes the pinyin to standard output and one JSON line about the pass alone to standard
// error: {"bytes": UTF-8 input bytes, "seconds": ..., "bytes_per_second": ...}. The file is
// read, decoded and the dictionary parts made before the clock starts.
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "ReferencePass.h"
#include "Utf.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FILE\n", argv[0]);
    return 2;
  }
  std::ifstream file(argv[1], std::ios::binary);
  if (!file) {
    std::fprintf(stderr, "literal_pass: cannot read %s\n", argv[1]);
    return 1;
  }
  std::ostringstream bytes;
  bytes << file.rdbuf();
  const std::string utf8 = std::move(bytes).str();
  const std::u16string text = mibolan::ToUtf16(utf8);
  const auto& parts = mibolan::reference::EmbeddedDictionaryParts();

  const auto start = std::chrono::steady_clock::now();
  const std::u16string output = mibolan::reference::ReferenceConvertText(text, parts, false, true);
  const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;

  const std::string pinyin = mibolan::ToUtf8(output) + '\n';
  std::fwrite(pinyin.data(), 1, pinyin.size(), stdout);
  std::fprintf(stderr, "{\"bytes\": %zu, \"seconds\": %.6f, \"bytes_per_second\": %.1f}\n", utf8.size(),
               seconds.count(), static_cast<double>(utf8.size()) / seconds.count());
  return 0;
}
