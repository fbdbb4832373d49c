#pragma once

#include <functional>
#include <optional>
#include <string>

#include <QString>
#include <QStringView>

namespace mibolan::sheet {

// Cuts a text that comes in parts into pieces that are read and laid out one after the other as
// the whole would be, so that a text of any length takes memory for one piece only.
//
// No reading looks across a line feed, so a piece ends after the last line feed that lets it stay
// within `longest` units. A line longer than that is cut, in the second half of the piece, where
// the nearest eight units on each side have no reading and the unit before the cut is a
// punctuation mark or symbol (not an opening parenthesis, which may hold a correction, nor a
// mark that shares a square with the next one): no reading, tone change, word or square changes
// there. Where a line
// has no such place (a long run of Chinese without any), it is cut after a punctuation mark or
// symbol (the squares stay as they are; readings of the characters next to it may change, as
// at the end of a text), else at the last boundary between user-perceived characters (narrow
// letters may pair differently there), else, in one character longer than a piece, where
// nothing but a surrogate pair would be split.
class PieceCutter {
 public:
  using Take = std::function<bool(QString piece)>;  // false: no more pieces are wanted
  static constexpr qsizetype kLongestPiece = 1 << 16;

  explicit PieceCutter(Take take, qsizetype longest = kLongestPiece);

  // False once `take` has said stop.
  bool Add(QStringView more);
  // Hands over what is left.
  bool Finish();

 private:
  Take take_;
  qsizetype longest_;
  QString pending_;
  bool stopped_ = false;
};

// Where PieceCutter ends a piece of `text`, which is longer than `longest` units.
qsizetype PieceEnd(QStringView text, qsizetype longest);

// A sheet's text, handed over in pieces from its start.
class TextSource {
 public:
  virtual ~TextSource() = default;

  // Whether the text can be gone through more than once; a stream is read ahead to find out.
  virtual bool Rewindable() = 0;
  // Hands the pieces to `take` in order until it says stop; false when the text could not be
  // read, Problem() says why.
  virtual bool Walk(const PieceCutter::Take& take) = 0;
  virtual std::string Problem() const { return {}; }
  // The name of the file the text comes from; empty when it comes from none.
  virtual QString FileName() const { return {}; }
};

// A text held in memory, as the window has it.
class StringText : public TextSource {
 public:
  explicit StringText(QString text, qsizetype longestPiece = PieceCutter::kLongestPiece)
      : text_(std::move(text)), longestPiece_(longestPiece) {}
  bool Rewindable() override { return true; }
  bool Walk(const PieceCutter::Take& take) override;

 private:
  QString text_;
  qsizetype longestPiece_;
};

}  // namespace mibolan::sheet
