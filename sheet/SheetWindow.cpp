#include "SheetWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <optional>

#include "PageGeometry.h"
#include "PagePreview.h"
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
      title_(new QCheckBox(QStringLiteral("第一行作标题"))),
      byWord_(new QCheckBox(QStringLiteral("按词语注音（多音字读得更准）"))),
      toneSandhi_(new QCheckBox(QStringLiteral("“一”“不”按课本标变调"))),
      preview_(new PagePreview),
      pageCount_(new QLabel),
      print_(new QPushButton(QStringLiteral("打印…"))),
      save_(new QPushButton(QStringLiteral("保存 PDF…"))) {
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
  paper_->addItem(QStringLiteral("Letter"), static_cast<int>(Paper::Letter));
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

  auto* choices = new QFormLayout;
  choices->addRow(QStringLiteral("版式："), layout_);
  choices->addRow(QStringLiteral("每行格数："), squares_);
  choices->addRow(QStringLiteral("纸张："), paper_);
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
  return options;
}

void SheetWindow::ScheduleUpdate() { updateTimer_.start(); }

void SheetWindow::UpdatePreview() {
  updateTimer_.stop();
  const SheetOptions options = Options();
  const PageGeometry geometry = MakeGeometry(PaperSize(options.paper), options.squaresPerRow);
  std::optional<Page> first;
  int count = 0;
  SheetLayouter layouter(
      options, geometry.rows,
      [&](Page&& page) {
        if (++count == 1) first = std::move(page);
      },
      ReadingWidths());
  StringText(input_->toPlainText()).Walk([&](QString piece) {
    layouter.Add(ReadSheetText(std::move(piece), options.conversion));
    return count <= kPagesWithoutAsking;
  });
  if (count <= kPagesWithoutAsking) layouter.Finish();
  firstLine_ = layouter.FirstLine();
  pages_ = count;
  if (count > kPagesWithoutAsking) {
    pageCount_->setText(QStringLiteral("第 1 页，共 %1 多页").arg(kPagesWithoutAsking));
  } else {
    pageCount_->setText(count == 1 ? QStringLiteral("共 1 页") : QStringLiteral("第 1 页，共 %1 页").arg(count));
  }
  preview_->Show(geometry, std::move(*first), count > kPagesWithoutAsking ? 0 : count);
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
  if (problem && !progress.Cancelled()) {
    QMessageBox::warning(this, QStringLiteral("保存 PDF"),
                         QStringLiteral("无法保存 %1：%2").arg(QDir::toNativeSeparators(path), *problem));
  }
  return !problem;
}

}  // namespace mibolan::sheet
