#include "Controls.h"

#include <algorithm>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPalette>
#include <QPixmap>
#include <QScreen>
#include <QTextBlock>
#include <QTextLayout>
#include <QWindow>

#include "DesignFonts.h"
#include "QtStrings.h"
#include "Twips.h"

namespace mibolan::ui {
namespace {

QColor ToColor(const Rgb& rgb) { return QColor(rgb.red, rgb.green, rgb.blue); }

// Name, position, size, font and text colour: what every control of a design has.
void ApplyCommon(QWidget& control, const ControlDesign& design) {
  control.setObjectName(ToQString(design.name));
  control.setGeometry(PixelRect(design.rect));
  if (design.font) control.setFont(DesignFont(*design.font));
  if (design.colour) {
    QPalette palette = control.palette();
    palette.setColor(QPalette::WindowText, ToColor(*design.colour));
    palette.setColor(QPalette::Text, ToColor(*design.colour));
    control.setPalette(palette);
  }
}

void SetUpLabel(QLabel& label, const ControlDesign& design) {
  ApplyCommon(label, design);
  label.setText(ToQString(design.text));
  label.setTextFormat(Qt::PlainText);
  label.setWordWrap(true);
  // A wrapped label would centre its text vertically; the design starts it at the top.
  label.setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label.setFocusPolicy(Qt::NoFocus);
  // The designed heights fit the designed faces exactly; a stand-in face with more generous
  // line spacing would have its one line cut off at the bottom.
  label.resize(label.width(), std::max(label.height(), label.fontMetrics().height()));
}

}  // namespace

void ClickableLabel::mousePressEvent(QMouseEvent* event) {
  pressed_ = event->button() == Qt::LeftButton;
  event->accept();
}

void ClickableLabel::mouseReleaseEvent(QMouseEvent* event) {
  const bool click = pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
  pressed_ = false;
  event->accept();
  if (click) emit clicked();
}

void PushButton::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    event->accept();
    click();
    return;
  }
  QPushButton::keyPressEvent(event);
}

QRect PixelRect(const TwipsRect& rect) {
  return QRect(ToPixels(rect.left), ToPixels(rect.top), ToPixels(rect.width), ToPixels(rect.height));
}

QSize ClientSize(const WindowDesign& design) {
  return QSize(ToPixels(design.clientWidth), ToPixels(design.clientHeight));
}

void ApplyWindowDesign(QWidget& window, const WindowDesign& design) {
  window.setObjectName(ToQString(design.name));
  window.setWindowTitle(ToQString(design.caption));
  window.setFont(DesignFont(design.defaultFont));
  window.resize(ClientSize(design));
  if (design.background) {
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, ToColor(*design.background));
    window.setPalette(palette);
    window.setAutoFillBackground(true);
  }
}

void CentreOnScreen(QWidget& window, ScreenArea area) {
  const QScreen* screen = window.screen();
  if (screen == nullptr) return;
  const QWindow* handle = window.windowHandle();
  QRect frame(QPoint(), handle != nullptr ? handle->frameGeometry().size() : window.size());
  frame.moveCenter((area == ScreenArea::Available ? screen->availableGeometry() : screen->geometry()).center());
  window.move(frame.topLeft());
}

// The toolkit lays out a paragraph whole and, once laid out, forgets its shaped glyphs: every
// later paint, scroll, selection and cursor blink in that paragraph itemizes all of it again. For
// a long paragraph (the output of a large text is a single one) that is seconds each time, so
// long paragraphs keep their glyphs; short ones cost too little to be worth the memory.
class TextBoxLayout final : public QPlainTextDocumentLayout {
 public:
  using QPlainTextDocumentLayout::QPlainTextDocumentLayout;

 protected:
  void documentChanged(int from, int charsRemoved, int charsAdded) override {
    constexpr int kLongParagraph = 64 * 1024;
    const QTextBlock last = document()->findBlock(from + charsAdded);
    for (QTextBlock block = document()->findBlock(from); block.isValid(); block = block.next()) {
      // Short blocks get their layout object only when shown.
      if (block.length() >= kLongParagraph) block.layout()->setCacheEnabled(true);
      if (block == last) break;
    }
    QPlainTextDocumentLayout::documentChanged(from, charsRemoved, charsAdded);
  }
};

QPlainTextEdit* MakeTextBox(QWidget& window, const ControlDesign& design) {
  auto* box = new QPlainTextEdit(&window);
  auto* document = new QTextDocument(box);
  document->setDocumentLayout(new TextBoxLayout(document));
  box->setDocument(document);
  ApplyCommon(*box, design);
  // Chinese and pinyin with precomposed tone letters need no glyph shaping; without it Qt lays
  // out a text of several megabytes in half the time. Scripts that need shaping still get it.
  QFont font = box->font();
  font.setStyleStrategy(QFont::PreferNoShaping);
  box->setFont(font);
  box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  box->setTabChangesFocus(true);
  box->setPlainText(ToQString(design.text));
  return box;
}

void ReplaceText(QPlainTextEdit& box, const QString& text) {
  // What setPlainText() does, without the layout of the whole new text that its selecting of
  // the new document for a character format costs before the edit ends and lays it out again.
  QTextDocument& document = *box.document();
  // Nothing to undo afterwards: not the replacement, nor the user's edits of the old text.
  document.setUndoRedoEnabled(false);
  QTextCursor cursor(&document);
  cursor.beginEditBlock();
  // Within an edit block, positioning lays nothing out (moving by a step would).
  cursor.setPosition(document.characterCount() - 1, QTextCursor::KeepAnchor);
  cursor.insertText(text);
  cursor.endEditBlock();
  document.setUndoRedoEnabled(true);
  document.setModified(false);
  box.setTextCursor(QTextCursor(&document));
}

QPushButton* MakePushButton(QWidget& window, const ControlDesign& design) {
  auto* button = new PushButton(ToQString(design.text), &window);
  ApplyCommon(*button, design);
  return button;
}

QRadioButton* MakeOptionButton(QWidget& window, const ControlDesign& design) {
  // Option buttons on the same window form one exclusive group by themselves.
  auto* option = new QRadioButton(ToQString(design.text), &window);
  ApplyCommon(*option, design);
  option->setChecked(design.selected);
  return option;
}

QLabel* MakeLabel(QWidget& window, const ControlDesign& design) {
  auto* label = new QLabel(&window);
  SetUpLabel(*label, design);
  return label;
}

ClickableLabel* MakeClickableLabel(QWidget& window, const ControlDesign& design) {
  auto* label = new ClickableLabel(&window);
  SetUpLabel(*label, design);
  return label;
}

ClickableLabel* MakePicture(QWidget& window, const ControlDesign& design) {
  auto* picture = new ClickableLabel(&window);
  ApplyCommon(*picture, design);
  picture->setPixmap(QPixmap(ToQString(design.picture)));
  picture->setScaledContents(false);
  picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  picture->setFocusPolicy(Qt::NoFocus);
  return picture;
}

}  // namespace mibolan::ui
