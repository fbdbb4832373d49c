#include "TextPieces.h"

#include <algorithm>

#include <QTextBoundaryFinder>

#include <mibolan/Dictionary.h>

#include "SheetContent.h"

namespace mibolan::sheet {
namespace {

// Units on each side of a cut that may have no reading: more than any word, rule, model feature
// or tone change looks at.
constexpr qsizetype kQuietUnits = 8;

bool EndsASquare(QChar unit) { return unit.isPunct() || unit.isSymbol(); }

// The last place in [from, to] that `fits`, or -1.
template <class Fits>
qsizetype LastPlace(qsizetype from, qsizetype to, Fits fits) {
  for (qsizetype at = to; at >= from; --at) {
    if (fits(at)) return at;
  }
  return -1;
}

}  // namespace

qsizetype PieceEnd(QStringView text, qsizetype longest) {
  if (const qsizetype lineFeed = text.first(longest).lastIndexOf(u'\n'); lineFeed >= 0) return lineFeed + 1;
  QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, text.first(longest + 1).toString());
  const auto boundary = [&](qsizetype at) {
    graphemes.setPosition(at);
    return graphemes.isAtBoundary();
  };
  // Nor inside parentheses, which may hold a reading that corrects the character before them.
  const auto afterMark = [&](qsizetype at) {
    return EndsASquare(text[at - 1]) && text[at - 1] != u'(' && text[at - 1] != u'（' && boundary(at) &&
           !SharesACellAcross(text, at);
  };
  const auto quiet = [&](qsizetype at) {
    if (at < kQuietUnits || at + kQuietUnits > text.size() || !afterMark(at)) return false;
    for (qsizetype i = at - kQuietUnits; i < at + kQuietUnits; ++i) {
      if (!DictionaryReading(text[i].unicode()).empty()) return false;
    }
    return true;
  };
  const qsizetype half = std::max<qsizetype>(1, longest / 2);
  if (const qsizetype at = LastPlace(half, longest, quiet); at > 0) return at;
  if (const qsizetype at = LastPlace(half, longest, afterMark); at > 0) return at;
  if (const qsizetype at = LastPlace(1, longest, boundary); at > 0) return at;
  return text[longest - 1].isHighSurrogate() && text[longest].isLowSurrogate() ? longest - 1 : longest;
}

PieceCutter::PieceCutter(Take take, qsizetype longest)
    : take_(std::move(take)), longest_(std::max<qsizetype>(longest, 2)) {}

bool PieceCutter::Add(QStringView more) {
  while (!stopped_ && !more.isEmpty()) {
    const qsizetype room = longest_ * 2 - pending_.size();
    pending_.append(more.first(std::min(room, more.size())));
    more = more.sliced(std::min(room, more.size()));
    while (!stopped_ && pending_.size() > longest_) {
      const qsizetype end = PieceEnd(pending_, longest_);
      stopped_ = !take_(pending_.first(end));
      pending_.remove(0, end);
    }
  }
  return !stopped_;
}

bool PieceCutter::Finish() {
  if (!stopped_ && !pending_.isEmpty()) stopped_ = !take_(std::exchange(pending_, QString()));
  return !stopped_;
}

bool StringText::Walk(const PieceCutter::Take& take) {
  PieceCutter cutter(take, longestPiece_);
  if (cutter.Add(text_)) cutter.Finish();
  return true;
}

}  // namespace mibolan::sheet
