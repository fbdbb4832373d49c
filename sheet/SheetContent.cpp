#include "SheetContent.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>

#include <QTextBoundaryFinder>

#include <mibolan/Dictionary.h>
#include <mibolan/Syllables.h>

namespace mibolan::sheet {
namespace {

char32_t FirstCodePoint(QStringView grapheme) {
  if (grapheme.size() >= 2 && grapheme[0].isHighSurrogate() && grapheme[1].isLowSurrogate()) {
    return QChar::surrogateToUcs4(grapheme[0], grapheme[1]);
  }
  return grapheme[0].unicode();
}

bool IsLineBreak(char32_t c) {
  return c == u'\n' || c == u'\r' || c == 0x0B || c == 0x0C || c == 0x85 || c == 0x2028 || c == 0x2029;
}

// Scripts written one character to a square, as Chinese is.
bool IsFullWidthScript(char32_t c) {
  switch (QChar::script(c)) {
    case QChar::Script_Han:
    case QChar::Script_Hiragana:
    case QChar::Script_Katakana:
    case QChar::Script_Hangul:
    case QChar::Script_Bopomofo:
    case QChar::Script_Yi: return true;
    default:
      // The full-width forms of Latin letters and digits (Ａ, １).
      return c >= 0xFF01 && c <= 0xFF5E && QChar::isLetterOrNumber(c);
  }
}

enum class Kind { Skip, LineBreak, Blank, IdeographicSpace, Character, Latin, NumberPoint, Mark };

// A closing mark and a closing quote after it (。” ？’), or a colon and an opening quote after it
// (：“), are written in one square.
bool SharesASquare(char32_t first, char32_t second) {
  constexpr std::u32string_view kBeforeClosingQuote = U"，。、；：？！";
  constexpr std::u32string_view kClosingQuotes = U"”’」』";
  constexpr std::u32string_view kOpeningQuotes = U"“‘「『";
  if (kBeforeClosingQuote.find(first) != std::u32string_view::npos) {
    return kClosingQuotes.find(second) != std::u32string_view::npos ||
           (first == U'：' && kOpeningQuotes.find(second) != std::u32string_view::npos);
  }
  return false;
}

bool IsDigit(QChar unit) { return unit >= u'0' && unit <= u'9'; }

Kind KindOf(char32_t c) {
  if (IsLineBreak(c)) return Kind::LineBreak;
  if (c == 0x3000) return Kind::IdeographicSpace;
  if (QChar::isSpace(c)) return Kind::Blank;
  const QChar::Category category = QChar::category(c);
  if (category == QChar::Other_Control || category == QChar::Other_Format) return Kind::Skip;
  if (IsFullWidthScript(c)) return Kind::Character;
  if (QChar::isLetterOrNumber(c)) return Kind::Latin;
  return Kind::Mark;
}

class CellWriter {
 public:
  explicit CellWriter(std::vector<Cell>& cells) : cells_(cells) {}

  void Add(Kind kind, std::uint32_t begin, std::uint32_t length, std::int32_t reading, char32_t first) {
    const char32_t previous = std::exchange(lastCodePoint_, first);
    switch (kind) {
      case Kind::Skip: return;
      case Kind::Blank:
        // A run of blanks is one empty square.
        if (last_ == Kind::Blank) {
          cells_.back().length = begin + length - cells_.back().begin;
          return;
        }
        Push(CellKind::Space, begin, length, -1);
        break;
      case Kind::IdeographicSpace: Push(CellKind::Space, begin, length, -1); break;
      case Kind::LineBreak: Push(CellKind::LineBreak, begin, length, -1); break;
      case Kind::Mark:
        if (last_ == Kind::Mark && !markCellFull_ && SharesASquare(previous, first)) {
          cells_.back().length = begin + length - cells_.back().begin;
          markCellFull_ = true;
          return;
        }
        Push(CellKind::Mark, begin, length, -1);
        markCellFull_ = false;
        break;
      case Kind::NumberPoint:
        // Counts for nothing: 3.5 takes one square, 12.25 two.
        cells_.back().length = begin + length - cells_.back().begin;
        return;
      case Kind::Character: Push(CellKind::Character, begin, length, reading); break;
      case Kind::Latin:
        // Two narrow letters or digits to a square, as on squared writing paper.
        if (last_ == Kind::Latin && !latinCellFull_) {
          cells_.back().length = begin + length - cells_.back().begin;
          latinCellFull_ = true;
          return;
        }
        Push(CellKind::Latin, begin, length, -1);
        cells_.back().joined = last_ == Kind::Latin;
        latinCellFull_ = false;
        break;
    }
    last_ = kind;
  }

 private:
  void Push(CellKind kind, std::uint32_t begin, std::uint32_t length, std::int32_t reading) {
    cells_.push_back(Cell{begin, length, reading, kind});
  }

  std::vector<Cell>& cells_;
  Kind last_ = Kind::Skip;
  char32_t lastCodePoint_ = 0;
  bool latinCellFull_ = false;
  bool markCellFull_ = false;
};

// A decimal point or a thousands comma inside a number: the grapheme [begin, end) is one of them
// with a digit on each side.
bool BetweenDigits(QStringView text, qsizetype begin, qsizetype end) {
  const QChar unit = text[begin];
  return end == begin + 1 && (unit == u'.' || unit == u',') && begin > 0 && end < text.size() &&
         IsDigit(text[begin - 1]) && IsDigit(text[end]);
}

bool IsOpeningParenthesis(QChar unit) { return unit == u'(' || unit == u'（'; }
bool IsClosingParenthesis(QChar unit) { return unit == u')' || unit == u'）'; }

// A reading written in parentheses right after a character, in place of the engine's.
struct Correction {
  qsizetype character = 0;       // where the corrected character is
  qsizetype begin = 0, end = 0;  // of the parentheses with what they hold
  std::string numbered;          // "zhang3"
};

// The corrections of `text`: parentheses right after a character that hold one of the readings the
// character can have (长(zhǎng), 长(zhang3), 绿(lv4)); any other syllable (a slip of the pen that
// the sheet would print wrong without a word, or a list's "(a)") stays text.
std::vector<Correction> FindCorrections(const QString& text) {
  constexpr qsizetype kLongestSyllable = 8;  // zhuang1, and a combining mark or two
  std::vector<Correction> found;
  for (qsizetype open = 1; open + 2 < text.size(); ++open) {
    if (!IsOpeningParenthesis(text[open])) continue;
    const qsizetype close = [&] {
      for (qsizetype at = open + 1; at < text.size() && at <= open + kLongestSyllable + 1; ++at) {
        if (IsClosingParenthesis(text[at])) return at;
      }
      return qsizetype{-1};
    }();
    if (close < 0) continue;
    const bool pair = open >= 2 && text[open - 2].isHighSurrogate() && text[open - 1].isLowSurrogate();
    const char32_t character = pair ? QChar::surrogateToUcs4(text[open - 2], text[open - 1]) : text[open - 1].unicode();
    const std::string numbered = ToToneDigits(text.sliced(open + 1, close - open - 1).toStdString());
    if (numbered.empty()) continue;
    for (const std::string& reading : ReadingsOf(character)) {
      if (ToToneDigits(reading) == numbered) {
        found.push_back(Correction{open - (pair ? 2 : 1), open, close + 1, numbered});
        break;
      }
    }
  }
  return found;
}

// The engine's readings of `text` with its corrections taken out, the corrected ones as written;
// indices are those of `text`.
std::vector<CharacterReading> ReadCorrected(const QString& text, const std::vector<Correction>& corrections,
                                            const ConversionOptions& options) {
  QString read;
  std::vector<qsizetype> removedBefore;  // for each correction, the units removed before it
  qsizetype from = 0;
  for (const Correction& correction : corrections) {
    read += QStringView(text).sliced(from, correction.begin - from);
    removedBefore.push_back(correction.begin - read.size());
    from = correction.end;
  }
  read += QStringView(text).sliced(from);
  std::vector<CharacterReading> readings = ReadText(
      std::u16string_view(reinterpret_cast<const char16_t*>(read.utf16()), static_cast<std::size_t>(read.size())),
      options);
  std::size_t next = 0;  // the first correction after the reading
  for (CharacterReading& reading : readings) {
    while (next < corrections.size() &&
           static_cast<qsizetype>(reading.index) + removedBefore[next] >= corrections[next].begin) {
      ++next;
    }
    const qsizetype shift =
        next == 0 ? 0 : removedBefore[next - 1] + (corrections[next - 1].end - corrections[next - 1].begin);
    reading.index += static_cast<std::size_t>(shift);
  }
  for (const Correction& correction : corrections) {
    const auto index = static_cast<std::size_t>(correction.character);
    const auto character = std::find_if(readings.begin(), readings.end(),
                                        [&](const CharacterReading& reading) { return reading.index == index; });
    if (character == readings.end()) continue;  // the engine leaves it out: a character it never reads
    character->numbered = correction.numbered;
    character->marked = QString::fromStdString(ToToneMarks(correction.numbered)).toStdU16String();
  }
  return readings;
}

}  // namespace

bool SharesACellAcross(QStringView text, qsizetype at) {
  if (at <= 0 || at >= text.size()) return false;
  return SharesASquare(text[at - 1].unicode(), text[at].unicode()) || BetweenDigits(text, at - 1, at) ||
         BetweenDigits(text, at, at + 1);
}

SheetContent ReadSheetText(QString text, const ConversionOptions& options) {
  SheetContent content;
  content.text = std::move(text);
  const std::vector<Correction> corrections = FindCorrections(content.text);
  content.readings = ReadCorrected(content.text, corrections, options);
  std::size_t nextCorrection = 0;

  CellWriter writer(content.cells);
  std::size_t nextReading = 0;
  // Each line is cut into user-perceived characters on its own: Qt's boundaries in a line may
  // otherwise depend on the lines before it, and a text read in pieces must give the same cells.
  for (qsizetype line = 0; line < content.text.size();) {
    const qsizetype lineFeed = content.text.indexOf(u'\n', line);
    const qsizetype lineEnd = lineFeed < 0 ? content.text.size() : lineFeed + 1;
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, content.text.constData() + line, lineEnd - line);
    qsizetype begin = line;
    for (qsizetype next = graphemes.toNextBoundary(); next > 0; next = graphemes.toNextBoundary()) {
      const qsizetype end = line + next;
      const auto first = static_cast<std::size_t>(begin);
      const auto last = static_cast<std::size_t>(end);
      while (nextReading < content.readings.size() && content.readings[nextReading].index < first) ++nextReading;
      std::int32_t reading = -1;
      if (nextReading < content.readings.size() && content.readings[nextReading].index < last) {
        reading = static_cast<std::int32_t>(nextReading);
      }
      while (nextCorrection < corrections.size() && corrections[nextCorrection].end <= begin) ++nextCorrection;
      const bool corrects = nextCorrection < corrections.size() && corrections[nextCorrection].begin <= begin;
      const QStringView grapheme = QStringView(content.text).sliced(begin, end - begin);
      const char32_t codePoint = FirstCodePoint(grapheme);
      Kind kind = corrects ? Kind::Skip : reading >= 0 ? Kind::Character : KindOf(codePoint);
      if (kind == Kind::Mark && BetweenDigits(content.text, begin, end)) kind = Kind::NumberPoint;
      writer.Add(kind, static_cast<std::uint32_t>(begin), static_cast<std::uint32_t>(end - begin), reading, codePoint);
      begin = end;
    }
    line = lineEnd;
  }
  return content;
}

}  // namespace mibolan::sheet
