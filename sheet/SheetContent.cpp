#include "SheetContent.h"

#include <string_view>
#include <utility>

#include <QTextBoundaryFinder>

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

}  // namespace

bool SharesACellAcross(QStringView text, qsizetype at) {
  if (at <= 0 || at >= text.size()) return false;
  return SharesASquare(text[at - 1].unicode(), text[at].unicode()) || BetweenDigits(text, at - 1, at) ||
         BetweenDigits(text, at, at + 1);
}

SheetContent ReadSheetText(QString text, const ConversionOptions& options) {
  SheetContent content;
  content.text = std::move(text);
  const std::u16string_view units(reinterpret_cast<const char16_t*>(content.text.utf16()),
                                  static_cast<std::size_t>(content.text.size()));
  content.readings = ReadText(units, options);

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
      const QStringView grapheme = QStringView(content.text).sliced(begin, end - begin);
      const char32_t codePoint = FirstCodePoint(grapheme);
      Kind kind = reading >= 0 ? Kind::Character : KindOf(codePoint);
      if (kind == Kind::Mark && BetweenDigits(content.text, begin, end)) kind = Kind::NumberPoint;
      writer.Add(kind, static_cast<std::uint32_t>(begin), static_cast<std::uint32_t>(end - begin), reading, codePoint);
      begin = end;
    }
    line = lineEnd;
  }
  return content;
}

}  // namespace mibolan::sheet
