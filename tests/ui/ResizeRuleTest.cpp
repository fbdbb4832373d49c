// The resize rule on its own: three independent steps in twips, single-precision results, and
// a step whose result cannot be a size leaves its size alone.
#include <QtTest>

#include <limits>

#include "ResizeRule.h"

using mibolan::ui::ApplyResizeRule;
using mibolan::ui::TextBoxSizes;

Q_DECLARE_METATYPE(TextBoxSizes)

namespace {
constexpr TextBoxSizes kDesigned{10575.0F, 10575.0F, 4935.0F};
constexpr double kText2Top = 3120.0;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();
}  // namespace

class ResizeRuleTest : public QObject {
  Q_OBJECT

 private slots:
  void steps_data() {
    QTest::addColumn<double>("outerWidth");
    QTest::addColumn<double>("outerHeight");
    QTest::addColumn<TextBoxSizes>("expected");
    // Maximized on a 1024 x 768 screen: 15360 x 11520 twips.
    QTest::newRow("maximized") << 15360.0 << 11520.0 << TextBoxSizes{15206.4F, 15206.4F, 7824.0F};
    QTest::newRow("normal size with frame") << 10830.0 << 8490.0 << TextBoxSizes{10721.7F, 10721.7F, 4945.5F};
    // Exactly Top / 0.95: Text2 becomes zero high, which is a size.
    QTest::newRow("height zero") << 9000.0 << kText2Top / 0.95 << TextBoxSizes{8910.0F, 8910.0F, 0.0F};
    // Below about 3284.2 twips the height would be negative: kept, while the widths follow.
    QTest::newRow("too low for Text2") << 6000.0 << 3000.0 << TextBoxSizes{5940.0F, 5940.0F, 4935.0F};
    QTest::newRow("just too low") << 6000.0 << 3284.0 << TextBoxSizes{5940.0F, 5940.0F, 4935.0F};
    QTest::newRow("no size at all") << 0.0 << 0.0 << TextBoxSizes{0.0F, 0.0F, 4935.0F};
    // A failing step is skipped alone; the next still runs.
    QTest::newRow("negative width") << -300.0 << 9000.0 << TextBoxSizes{10575.0F, 10575.0F, 5430.0F};
    QTest::newRow("width not a number") << kNaN << 9000.0 << TextBoxSizes{10575.0F, 10575.0F, 5430.0F};
    QTest::newRow("height not a number") << 9000.0 << kNaN << TextBoxSizes{8910.0F, 8910.0F, 4935.0F};
    QTest::newRow("infinite sizes") << kInfinity << kInfinity << kDesigned;
  }

  void steps() {
    QFETCH(double, outerWidth);
    QFETCH(double, outerHeight);
    QFETCH(TextBoxSizes, expected);
    const TextBoxSizes result = ApplyResizeRule(kDesigned, outerWidth, outerHeight, kText2Top);
    QCOMPARE(result.inputWidth, expected.inputWidth);
    QCOMPARE(result.outputWidth, expected.outputWidth);
    QCOMPARE(result.outputHeight, expected.outputHeight);
  }

  // Text2 takes Text1's width as stored (single precision), not the double product.
  void outputWidthIsText1AsStored() {
    const TextBoxSizes result = ApplyResizeRule(kDesigned, 12345.0, 9000.0, kText2Top);
    QCOMPARE(result.inputWidth, static_cast<float>(0.99 * 12345.0));
    QCOMPARE(result.outputWidth, result.inputWidth);
  }
};

QTEST_APPLESS_MAIN(ResizeRuleTest)
#include "ResizeRuleTest.moc"
