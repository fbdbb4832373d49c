// Knows the plugin only by its one function.
#include <cstdio>

extern "C" const char* PluginPinyin(const char* text);

int main() {
  const char* pinyin = PluginPinyin("银行");
  if (pinyin == nullptr) return 1;
  std::puts(pinyin);
}
