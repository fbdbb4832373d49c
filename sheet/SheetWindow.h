#pragma once

#include <cstddef>
#include <map>
#include <string>

#include <QTimer>
#include <QWidget>

#include "SheetOptions.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;

namespace mibolan::sheet {

class PagePreview;
struct Square;

// "拼音练习纸": a text, the choices of the sheet, a preview of its pages that follows every
// change, and the buttons that print it or save it as a PDF, with a status line that says how
// that went.
class SheetWindow : public QWidget {
  Q_OBJECT

 public:
  explicit SheetWindow(QWidget* parent = nullptr);

  void SetText(const QString& text);
  // Words whose reading the user decides, for reading by word; they must outlive the window.
  void SetUserWords(const UserWords* words) { userWords_ = words; }
  SheetOptions Options() const;

  // Writes the sheet to `path`, with a progress window while it takes long; says where it went in
  // the status line, or what went wrong in a message box. False when it was not written.
  bool SavePdf(const QString& path);

  // Shows the sheet of the text and choices as they are now; changes call it after a short quiet.
  void UpdatePreview();

  // Reads the character at `origin` in the text as `reading` (a syllable with tone marks or a
  // digit, "zhǎng" or "zhang3") on the sheet; false, said in a message box, when it is not one.
  bool CorrectReading(std::size_t origin, const QString& reading);

 private:
  void ScheduleUpdate();
  // A menu of the other readings of the character of `square`, and a way to type one.
  void OfferReadings(const Square& square, QPoint where);
  void TypeReading(const Square& square);
  // Keeps the corrections with their characters when the text around them changes.
  void FollowEdit(int position, int removed, int added);
  void ShowPageCount();
  // Takes the practice page's characters from their field; false, said under it, when they are not
  // Chinese characters.
  bool ReadCharacters();
  void Print();
  void ChooseFileAndSave();
  // True when the sheet has no more pages than the preview lays out, or the user wants it made
  // all the same (`work`: what is to be done with it).
  bool LongSheetWanted(const QString& work);

  QPlainTextEdit* input_;
  QComboBox* layout_;
  QSpinBox* squares_;
  QComboBox* paper_;
  QLineEdit* characters_;
  QLabel* charactersProblem_;
  QCheckBox* title_;
  QCheckBox* byWord_;
  QCheckBox* toneSandhi_;
  PagePreview* preview_;
  QLabel* pageCount_;
  QPushButton* print_;
  QPushButton* save_;
  QLabel* status_;
  QTimer updateTimer_;
  const UserWords* userWords_ = nullptr;
  std::u32string chosen_;                           // the practice page's characters, as the field last gave them
  std::map<std::size_t, std::string> corrections_;  // see SheetOptions
  QString firstLine_;                               // of the text, as the last preview found it
  int pages_ = 1;  // that the last preview counted: one more than it lays out when there are more
};

}  // namespace mibolan::sheet
