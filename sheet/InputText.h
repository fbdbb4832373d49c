#pragma once

#include <string>

#include <QString>

namespace mibolan::sheet {

// A text file's content, or why it could not be had.
struct InputText {
  QString text;
  std::string problem;  // empty when the text was read
};

// Reads the UTF-8 text of `path` ("-" is standard input); a byte-order mark at the start is
// skipped. Bytes that are not UTF-8 are a problem, named with their byte offset as the converter
// names them.
InputText ReadInput(const std::string& path);

}  // namespace mibolan::sheet
