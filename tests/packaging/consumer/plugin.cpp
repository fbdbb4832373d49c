// A shared object with the static engine inside: it exports one plain function of its own.
#include <string>
#include <string_view>

#include <mibolan/Utf8Converter.h>

extern "C" __attribute__((visibility("default"))) const char* PluginPinyin(const char* text) {
  static thread_local std::string pinyin;
  pinyin.clear();
  mibolan::Utf8Converter converter(mibolan::ConversionOptions{.readBy = mibolan::ReadBy::Word});
  if (!converter.Feed(text, pinyin) || !converter.Finish(pinyin)) return nullptr;
  return pinyin.c_str();
}
