#include "SheetWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QTextDocument>
#include <QVBoxLayout>

#include <unistd.h>

#include <cerrno>
#include <optional>
#include <vector>

#include <mibolan/Dictionary.h>
#include <mibolan/Syllables.h>

#include "PageGeometry.h"
#include "PagePreview.h"
#include "PracticeRows.h"
#include "SheetContent.h"
#include "SheetLayout.h"
#include "SheetOutput.h"
#include "TextPieces.h"

namespace mibolan::sheet {
namespace {

constexpr int kUpdateDelay = 150;  // milliseconds of quiet after a change before the preview follows it
// The preview lays out no more than this many pages; a longer sheet is made only when asked for.
constexpr int kPagesWithoutAsking = 200;

// A name for the file that does not trouble any file system.
QString FileNameFor(const QString& title) {
  QString name = title.left(40);
  static const QString kForbidden = QStringLiteral("/\\:*?\"<>|");
  for (QChar& c : name) {
    if (kForbidden.contains(c) || c.unicode() < 0x20) c = u'_';
  }
  return name + QStringLiteral(".pdf");
}

// Why a PDF cannot be written to `path`, said in Chinese where the cause is a common one; else
// the system's reason, `problem`.
QString WhyNotSaved(const QString& path, const QString& problem) {
  const QFileInfo file(path);
  const QFileInfo folder(file.absolutePath());
  if (problem == QLatin1String(kNothingToRead)) return QStringLiteral("课文里没有汉字，没有可以注音的字");
  if (file.isDir()) return QStringLiteral("这是一个文件夹，不是文件");
  if (!folder.exists()) return QStringLiteral("文件夹 %1 不存在").arg(QDir::toNativeSeparators(folder.filePath()));
  if (!folder.isDir()) return QStringLiteral("%1 不是文件夹").arg(QDir::toNativeSeparators(folder.filePath()));
  if (::access(QFile::encodeName(folder.filePath()).constData(), W_OK) != 0) {
    if (errno == EROFS) return QStringLiteral("这个文件夹在只读的磁盘上");
    if (errno == EACCES) return QStringLiteral("没有在这个文件夹里写文件的权限");
  }
  return QStringLiteral("出了问题（%1）").arg(problem);
}

// A progress window for long work; it shows itself only when the work takes a while.
class ProgressWindow {
 public:
  ProgressWindow(QWidget* parent, const QString& what) : dialog_(what, QStringLiteral("取消"), 0, 1, parent) {
    dialog_.setWindowTitle(QStringLiteral("拼音练习纸"));
    dialog_.setWindowModality(Qt::WindowModal);
    dialog_.setMinimumDuration(400);
    dialog_.setValue(0);
  }

  // While the pages are counted the total is 0, and the bar shows that the work goes on.
  Progress Tell() {
    return [this](int done, int total) {
      dialog_.setMaximum(total);
      dialog_.setValue(done);
      return !dialog_.wasCanceled();
    };
  }

  bool Cancelled() const { return dialog_.wasCanceled(); }

 private:
  QProgressDialog dialog_;
};

}  // namespace

SheetWindow::SheetWindow(QWidget* parent)
    : QWidget(parent),
      input_(new QPlainTextEdit),
      layout_(new QComboBox),
      squares_(new QSpinBox),
      paper_(new QComboBox),
      characters_(new QLineEdit),
      charactersProblem_(new QLabel),
      title_(new QCheckBox(QStringLiteral("第一行作标题"))),
      byWord_(new QCheckBox(QStringLiteral("按词语注音（多音字读得更准）"))),
      toneSandhi_(new QCheckBox(QStringLiteral("“一”“不”按课本标变调"))),
      preview_(new PagePreview),
      pageCount_(new QLabel),
      print_(new QPushButton(QStringLiteral("打印…"))),
      save_(new QPushButton(QStringLiteral("保存 PDF…"))),
      status_(new QLabel) {
  const SheetOptions defaults;
  // The desktop's face first; for Chinese the plain face that comes with the program rather than
  // whatever face the system would pick, which may be the sheet's Kaiti.
  QFont face = font();
  face.setFamilies({face.family(), QStringLiteral("Noto Sans CJK SC")});
  setFont(face);
  setWindowTitle(QStringLiteral("拼音练习纸"));
  QIcon icon;
  for (const char* size : {"32x32", "64x64", "256x256"}) {
    icon.addFile(QStringLiteral(":/sheet/%1/mibolan-sheet.png").arg(QLatin1String(size)));
  }
  setWindowIcon(icon);
  input_->setObjectName(QStringLiteral("input"));
  input_->setPlaceholderText(QStringLiteral("在这里输入或粘贴课文。每段一行，换行另起一行。"));
  layout_->setObjectName(QStringLiteral("layout"));
  layout_->addItem(QStringLiteral("课文（拼音田字格）"), static_cast<int>(SheetLayout::Reading));
  layout_->addItem(QStringLiteral("生字练习"), static_cast<int>(SheetLayout::Practice));
  layout_->addItem(QStringLiteral("古诗（标题、作者、诗句居中）"), static_cast<int>(SheetLayout::Poem));
  squares_->setObjectName(QStringLiteral("squares"));
  squares_->setRange(kFewestSquares, kMostSquares);
  squares_->setValue(defaults.squaresPerRow);
  paper_->setObjectName(QStringLiteral("paper"));
  paper_->addItem(QStringLiteral("A4"), static_cast<int>(Paper::A4));
  paper_->addItem(QStringLiteral("信纸 (Letter)"), static_cast<int>(Paper::Letter));
  characters_->setObjectName(QStringLiteral("characters"));
  characters_->setPlaceholderText(QStringLiteral("默认：课文里的每个字"));
  characters_->setToolTip(QStringLiteral("要练习的字，按这个顺序，例如“人口手”"));
  characters_->setEnabled(false);
  charactersProblem_->setObjectName(QStringLiteral("charactersProblem"));
  charactersProblem_->setStyleSheet(QStringLiteral("color: #b00020"));
  charactersProblem_->hide();
  title_->setObjectName(QStringLiteral("title"));
  byWord_->setObjectName(QStringLiteral("byWord"));
  byWord_->setChecked(defaults.conversion.readBy == ReadBy::Word);
  toneSandhi_->setObjectName(QStringLiteral("toneSandhi"));
  toneSandhi_->setChecked(defaults.conversion.toneSandhi);
  preview_->setObjectName(QStringLiteral("preview"));
  pageCount_->setObjectName(QStringLiteral("pageCount"));
  pageCount_->setAlignment(Qt::AlignCenter);
  print_->setObjectName(QStringLiteral("print"));
  save_->setObjectName(QStringLiteral("save"));
  status_->setObjectName(QStringLiteral("status"));
  status_->setWordWrap(true);
  status_->setTextInteractionFlags(Qt::TextSelectableByMouse);

  auto* choices = new QFormLayout;
  choices->addRow(QStringLiteral("版式："), layout_);
  choices->addRow(QStringLiteral("每行格数："), squares_);
  choices->addRow(QStringLiteral("纸张："), paper_);
  choices->addRow(QStringLiteral("练习的字："), characters_);
  choices->addRow(charactersProblem_);
  choices->addRow(title_);
  choices->addRow(byWord_);
  choices->addRow(toneSandhi_);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(print_);
  buttons->addWidget(save_);
  auto* left = new QVBoxLayout;
  left->addWidget(new QLabel(QStringLiteral("课文：")));
  left->addWidget(input_, 1);
  left->addLayout(choices);
  left->addLayout(buttons);
  left->addWidget(status_);
  auto* right = new QVBoxLayout;
  right->addWidget(preview_, 1);
  right->addWidget(pageCount_);
  auto* whole = new QHBoxLayout(this);
  whole->addLayout(left, 2);
  whole->addLayout(right, 3);
  resize(1000, 720);

  updateTimer_.setSingleShot(true);
  updateTimer_.setInterval(kUpdateDelay);
  connect(&updateTimer_, &QTimer::timeout, this, &SheetWindow::UpdatePreview);
  connect(input_, &QPlainTextEdit::textChanged, this, &SheetWindow::ScheduleUpdate);
  connect(byWord_, &QCheckBox::toggled, this, &SheetWindow::ScheduleUpdate);
  connect(toneSandhi_, &QCheckBox::toggled, this, &SheetWindow::ScheduleUpdate);
  connect(layout_, &QComboBox::currentIndexChanged, this, &SheetWindow::ScheduleUpdate);
  connect(squares_, &QSpinBox::valueChanged, this, &SheetWindow::ScheduleUpdate);
  connect(paper_, &QComboBox::currentIndexChanged, this, &SheetWindow::ScheduleUpdate);
  connect(title_, &QCheckBox::toggled, this, &SheetWindow::ScheduleUpdate);
  connect(characters_, &QLineEdit::textChanged, this, &SheetWindow::ScheduleUpdate);
  connect(layout_, &QComboBox::currentIndexChanged, this, [this] {
    characters_->setEnabled(static_cast<SheetLayout>(layout_->currentData().toInt()) == SheetLayout::Practice);
  });
  connect(preview_, &PagePreview::pageChanged, this, &SheetWindow::ShowPageCount);
  connect(preview_, &PagePreview::readingClicked, this, &SheetWindow::OfferReadings);
  connect(input_->document(), &QTextDocument::contentsChange, this, &SheetWindow::FollowEdit);
  connect(print_, &QPushButton::clicked, this, &SheetWindow::Print);
  connect(save_, &QPushButton::clicked, this, &SheetWindow::ChooseFileAndSave);
  UpdatePreview();
}

void SheetWindow::SetText(const QString& text) { input_->setPlainText(text); }

SheetOptions SheetWindow::Options() const {
  SheetOptions options;
  options.layout = static_cast<SheetLayout>(layout_->currentData().toInt());
  options.paper = static_cast<Paper>(paper_->currentData().toInt());
  options.squaresPerRow = squares_->value();
  options.title = title_->isChecked();
  options.conversion.readBy = byWord_->isChecked() ? ReadBy::Word : ReadBy::Character;
  options.conversion.toneSandhi = toneSandhi_->isChecked();
  options.conversion.userWords = userWords_;
  if (options.layout == SheetLayout::Practice) options.characters = chosen_;
  options.corrections = corrections_;
  return options;
}

void SheetWindow::ScheduleUpdate() { updateTimer_.start(); }

void SheetWindow::OfferReadings(const Square& clicked, QPoint where) {
  const Square square = clicked;  // the preview's pages may change while the menu is open
  const QList<uint> ucs4 = square.text.toUcs4();
  if (ucs4.isEmpty() || !square.reading) return;
  QMenu menu(this);
  menu.setObjectName(QStringLiteral("readings"));
  menu.addSection(QStringLiteral("“%1”的读音").arg(square.text));
  for (const std::string& numbered : ReadingsOf(static_cast<char32_t>(ucs4.front()))) {
    QAction* action = menu.addAction(QString::fromStdString(ToToneMarks(numbered)));
    action->setCheckable(true);
    action->setChecked(numbered == square.reading->numbered);
    connect(action, &QAction::triggered, this,
            [this, origin = square.origin, numbered] { CorrectReading(origin, QString::fromStdString(numbered)); });
  }
  menu.addSeparator();
  menu.addAction(QStringLiteral("输入读音…"), this, [this, &square] { TypeReading(square); });
  if (corrections_.contains(square.origin)) {
    menu.addAction(QStringLiteral("恢复程序给的读音"), this, [this, origin = square.origin] {
      corrections_.erase(origin);
      status_->setText(QStringLiteral("已恢复程序给的读音。"));
      UpdatePreview();
    });
  }
  menu.exec(where);
}

void SheetWindow::TypeReading(const Square& square) {
  QString typed = QString::fromStdU16String(square.reading->marked);
  for (;;) {
    bool ok = false;
    typed = QInputDialog::getText(this, QStringLiteral("改读音"),
                                  QStringLiteral("“%1”在这里读作（例如 zhǎng 或 zhang3）：").arg(square.text),
                                  QLineEdit::Normal, typed, &ok);
    if (!ok || CorrectReading(square.origin, typed)) return;
  }
}

bool SheetWindow::CorrectReading(std::size_t origin, const QString& reading) {
  const std::string numbered = ToToneDigits(reading.trimmed().toStdString());
  if (numbered.empty()) {
    QMessageBox::warning(
        this, QStringLiteral("改读音"),
        QStringLiteral("“%1”不是一个拼音音节：请写一个带声调的音节，例如 zhǎng 或 zhang3。").arg(reading.trimmed()));
    return false;
  }
  corrections_[origin] = numbered;
  status_->setText(
      QStringLiteral("已改为 %1，打印和 PDF 里也是这样。").arg(QString::fromStdString(ToToneMarks(numbered))));
  UpdatePreview();
  return true;
}

void SheetWindow::FollowEdit(int position, int removed, int added) {
  const auto from = static_cast<std::size_t>(position);
  std::map<std::size_t, std::string> kept;
  for (auto& [origin, reading] : corrections_) {
    if (origin < from) {
      kept.emplace(origin, std::move(reading));
    } else if (origin >= from + static_cast<std::size_t>(removed)) {
      // A character that was replaced loses its correction; one after the change moves with it.
      kept.emplace(origin + static_cast<std::size_t>(added) - static_cast<std::size_t>(removed), std::move(reading));
    }
  }
  corrections_ = std::move(kept);
}

bool SheetWindow::ReadCharacters() {
  const ChosenCharacters chosen = ChooseCharacters(characters_->text());
  QString problem;
  if (chosen.stray) {
    const char32_t stray[] = {*chosen.stray, U'\0'};
    problem = QStringLiteral("“%1”不是汉字：这里只填要练习的汉字。").arg(QString::fromUcs4(stray));
  } else if (chosen.characters.empty() && !characters_->text().trimmed().isEmpty()) {
    problem = QStringLiteral("这里没有汉字：请填要练习的汉字，或者留空练习课文里的每个字。");
  }
  charactersProblem_->setText(problem);
  charactersProblem_->setVisible(!problem.isEmpty());
  if (!problem.isEmpty()) return false;
  chosen_ = chosen.characters;
  return true;
}

void SheetWindow::UpdatePreview() {
  updateTimer_.stop();
  // Characters that cannot be practised leave the preview and the buttons as the last good ones.
  const bool charactersRead = ReadCharacters();
  const bool practice = static_cast<SheetLayout>(layout_->currentData().toInt()) == SheetLayout::Practice;
  print_->setEnabled(charactersRead || !practice);
  save_->setEnabled(charactersRead || !practice);
  if (!charactersRead && practice) return;
  const SheetOptions options = Options();
  const PageGeometry geometry = MakeGeometry(PaperSize(options.paper), options.squaresPerRow);
  std::vector<Page> pages;
  int count = 0;
  SheetLayouter layouter(
      options, geometry.rows,
      [&](Page&& page) {
        if (++count <= kPagesWithoutAsking) pages.push_back(std::move(page));
      },
      ReadingWidths());
  StringText(input_->toPlainText()).Walk([&](QString piece) {
    layouter.Add(ReadSheetText(std::move(piece), ReadingOptions(options)));
    return count <= kPagesWithoutAsking;
  });
  if (count <= kPagesWithoutAsking) layouter.Finish();
  firstLine_ = layouter.FirstLine();
  if (layouter.AnyText() && !layouter.AnyReading())
    status_->setText(QStringLiteral("课文里没有汉字，练习纸上没有拼音。"));
  pages_ = count;
  preview_->Show(geometry, std::move(pages), count > kPagesWithoutAsking ? 0 : count);
  ShowPageCount();
}

void SheetWindow::ShowPageCount() {
  const int shown = preview_->PageShown() + 1;
  if (pages_ > kPagesWithoutAsking) {
    pageCount_->setText(QStringLiteral("第 %1 页，共 %2 多页").arg(shown).arg(kPagesWithoutAsking));
  } else {
    pageCount_->setText(pages_ == 1 ? QStringLiteral("共 1 页")
                                    : QStringLiteral("第 %1 页，共 %2 页").arg(shown).arg(pages_));
  }
}

bool SheetWindow::LongSheetWanted(const QString& work) {
  if (updateTimer_.isActive()) UpdatePreview();
  if (pages_ <= kPagesWithoutAsking) return true;
  const QString question =
      QStringLiteral("这篇课文排成练习纸超过 %1 页，%2要花些时间。仍要%2吗？").arg(kPagesWithoutAsking).arg(work);
  return QMessageBox::question(this, QStringLiteral("拼音练习纸"), question) == QMessageBox::Yes;
}

void SheetWindow::Print() {
  if (!LongSheetWanted(QStringLiteral("打印"))) return;
  const SheetOptions options = Options();
  QPrinter printer(QPrinter::HighResolution);
  printer.setPageSize(PageSizeOf(options.paper));
  printer.setFullPage(true);  // the sheet keeps its own margins
  printer.setDocName(DocumentTitle(options, SheetPlan{.pages = 0, .firstLine = firstLine_}, {}));
  QPrintDialog dialog(&printer, this);
  dialog.setWindowTitle(QStringLiteral("打印"));
  if (dialog.exec() != QDialog::Accepted) return;
  ProgressWindow progress(this, QStringLiteral("正在打印…"));
  StringText text(input_->toPlainText());
  if (!PaintSheet(printer, text, options, progress.Tell()) && !progress.Cancelled()) {
    QMessageBox::warning(this, QStringLiteral("打印"), QStringLiteral("无法打印：打印机没有接受这份练习纸。"));
  }
}

void SheetWindow::ChooseFileAndSave() {
  if (!LongSheetWanted(QStringLiteral("保存"))) return;
  const QString suggested = QDir::home().filePath(FileNameFor(SheetTitle(firstLine_)));
  const QString path =
      QFileDialog::getSaveFileName(this, QStringLiteral("保存 PDF"), suggested, QStringLiteral("PDF 文件 (*.pdf)"));
  if (!path.isEmpty()) SavePdf(path);
}

bool SheetWindow::SavePdf(const QString& path) {
  ProgressWindow progress(this, QStringLiteral("正在保存 PDF…"));
  StringText text(input_->toPlainText());
  const auto problem = WritePdf(path, text, Options(), progress.Tell());
  const QString shown = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
  if (!problem) {
    status_->setText(QStringLiteral("已保存到 %1").arg(shown));
    return true;
  }
  if (progress.Cancelled()) {
    status_->setText(QStringLiteral("已取消保存，%1 没有改动。").arg(shown));
    return false;
  }
  const QString why = WhyNotSaved(path, *problem);
  status_->setText(QStringLiteral("没有保存：%1").arg(why));
  QMessageBox::warning(this, QStringLiteral("保存 PDF"), QStringLiteral("无法保存 %1：%2").arg(shown, why));
  return false;
}

}  // namespace mibolan::sheet
