#include "board/BracketRenderer.h"
#include "board/BracketExport.h"
#include "board/BracketProjectorView.h"
#include "board/frmPairvaneMainForm.h"

#include "tests/board/BracketTestSupport.h"
#include "tests/support/ScriptedMessageBoxes.h"
#include "tests/support/WindowTest.h"
#include "uikit/Twips.h"

#include <QFrame>
#include <QPainter>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <set>

namespace velka {
namespace {

using test::control;

// The board window beside the renderer, for each marked draw in turn.
class BracketRendererTest : public ::testing::TestWithParam<test::MarkedDraw> {
protected:
    void SetUp() override
    {
        form = std::make_unique<frmPairvaneMainForm>(boxes);
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        test::drawAndMark(form->board(), GetParam());
    }

    QFrame* picture() const { return control<QFrame>(form.get(), QStringLiteral("Picture1")); }

    // The board as the window shows it, in device pixels of this run's screen.
    QImage windowBoard() const
    {
        return picture()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }

    // The renderer's picture of the same board in the window's colours and font, at scale 1
    // and at the same place inside the frame.
    QImage rendererAtScaleOne(const QImage& like) const
    {
        QImage image(like.size(), QImage::Format_RGB32);
        image.setDevicePixelRatio(like.devicePixelRatio());
        image.fill(picture()->palette().color(QPalette::Window));
        QPainter painter(&image);
        BracketStyle style;
        style.paper = QColor();
        style.ink = picture()->palette().color(QPalette::WindowText);
        style.font = form->findChild<QWidget*>(QStringLiteral("lblMenber(0)"))->font();
        const QPoint inside = picture()->contentsRect().topLeft();
        paintBracket(painter, form->board(), QTransform::fromTranslate(inside.x(), inside.y()),
                     style);
        return image;
    }

    // Where the renderer's picture and the window's may differ: the frame (whose shading
    // reaches a pixel further in on a scaled screen) and the palette button, which belong to the
    // window and not to the bracket.
    bool bracketPixel(QPoint logical) const
    {
        const QWidget* show = control<QPushButton>(form.get(), QStringLiteral("cmdShow"));
        return picture()->contentsRect().adjusted(1, 1, -1, -1).contains(logical) &&
               !show->geometry().contains(logical);
    }

    // Whether logical pixel (x, y) of the board window carries ink on all its device pixels.
    static bool inkedWindowPixel(const QImage& image, QPoint logical)
    {
        const int ratio = qRound(image.devicePixelRatio());
        for (int dy = 0; dy < ratio; ++dy) {
            for (int dx = 0; dx < ratio; ++dx) {
                if (!test::dark(image.pixel(logical.x() * ratio + dx, logical.y() * ratio + dy)))
                    return false;
            }
        }
        return true;
    }

    static bool inNameSlot(QPoint boardPixel)
    {
        for (int i = 0; i < board::kSlotCount; ++i) {
            const BoardSlot s = board::slotPlace(i);
            if (toPixels(TwipsRect{s.left, s.top, s.width, s.height}).contains(boardPixel))
                return true;
        }
        return false;
    }

    test::ScriptedMessageBoxes boxes;
    std::unique_ptr<frmPairvaneMainForm> form;
};

TEST_P(BracketRendererTest, AtScaleOneGivesTheSamePixelsAsTheWindow)
{
    const QImage window = windowBoard();
    const QImage rendered = rendererAtScaleOne(window);
    const int ratio = qRound(window.devicePixelRatio());
    int compared = 0;
    int differing = 0;
    QPoint first;
    for (int y = 0; y < window.height(); ++y) {
        for (int x = 0; x < window.width(); ++x) {
            if (!bracketPixel(QPoint(x / ratio, y / ratio)))
                continue;
            ++compared;
            if (window.pixel(x, y) != rendered.pixel(x, y) && differing++ == 0)
                first = QPoint(x, y);
        }
    }
    EXPECT_GT(compared, 300 * 300 * ratio * ratio);
    EXPECT_EQ(differing, 0) << "first difference at device pixel " << first.x() << "," << first.y();
}

// Every line and connector is where the board has it, three times as large: each board pixel
// outside the names is ink in the window exactly when its 3 x 3 block is ink in the picture.
TEST_P(BracketRendererTest, AtThreeTimesEveryLinePixelFollowsTheBoard)
{
    const QImage window = windowBoard();
    const QImage big = bracketPicture(form->board());
    const QRect area = bracketArea(form->board());
    ASSERT_EQ(big.size(), area.size() * 3);
    const QPoint inside = picture()->contentsRect().topLeft();
    int mismatches = 0;
    int inked = 0;
    for (int y = 0; y < picture()->contentsRect().height(); ++y) {
        for (int x = 0; x < picture()->contentsRect().width(); ++x) {
            const QPoint board(x, y);
            if (inNameSlot(board) || !bracketPixel(board + inside))
                continue;
            const bool shown = inkedWindowPixel(window, board + inside);
            if (!area.contains(board)) {
                if (shown && mismatches++ < 5)
                    ADD_FAILURE() << "board pixel " << x << "," << y
                                  << " is ink outside the picture";
                continue;
            }
            const QPoint at = (board - area.topLeft()) * 3;
            int darkPixels = 0;
            for (int dy = 0; dy < 3; ++dy) {
                for (int dx = 0; dx < 3; ++dx)
                    darkPixels += test::dark(big.pixel(at.x() + dx, at.y() + dy));
            }
            inked += shown;
            if (darkPixels != (shown ? 9 : 0) && mismatches++ < 5)
                ADD_FAILURE() << "board pixel " << x << "," << y << ": window "
                              << (shown ? "ink" : "paper") << ", picture " << darkPixels
                              << "/9 dark";
        }
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_GT(inked, 100);
    for (const test::ShownElement& e : test::shownElements(form->board())) {
        const QPoint at = ((test::samplePoint(e.line) - area.topLeft()) * 3).toPoint();
        EXPECT_EQ(big.rect().contains(at) && test::dark(big.pixel(at)), e.shown) << e.what;
    }
}

// The printed page at 300 dots per inch: each line and connector is ink at its place exactly
// when the board shows it, and thin.
TEST_P(BracketRendererTest, OnAnA4PageAt300DpiEveryLineFollowsTheBoard)
{
    const int dpi = 300;
    QImage page(3508, 2480, QImage::Format_RGB32); // A4 landscape
    page.fill(Qt::white);
    const QRect printable = page.rect().adjusted(118, 118, -118, -118); // 10 mm all round
    {
        QPainter painter(&page);
        paintBracketPage(painter, printable, dpi, form->board(),
                         QDateTime(QDate(2026, 12, 7), QTime(15, 30)));
    }
    const QTransform placed = bracketPagePlacement(printable, dpi, form->board());
    EXPECT_GT(placed.m11(), 5.0) << "the bracket fills the page";
    EXPECT_TRUE(
        printable.contains(placed.mapRect(QRectF(bracketArea(form->board()))).toAlignedRect()));
    for (const test::ShownElement& e : test::shownElements(form->board())) {
        const QPoint at = placed.map(test::samplePoint(e.line)).toPoint();
        EXPECT_EQ(test::inkNear(page, at, 2), e.shown) << e.what;
        if (!e.shown || e.line.y1 != e.line.y2)
            continue;
        int thickness = 0;
        for (int dy = -10; dy <= 10; ++dy)
            thickness += test::dark(page.pixel(at + QPoint(0, dy)));
        EXPECT_GE(thickness, 2) << e.what;
        EXPECT_LE(thickness, 5) << e.what << ": about 0.3 mm";
    }
}

INSTANTIATE_TEST_SUITE_P(Draws, BracketRendererTest, ::testing::ValuesIn(test::markedDraws()),
                         [](const auto& drawInfo) {
                             return "Field" + std::to_string(drawInfo.param.fieldSize);
                         });

// Where the ink of a picture lies: the smallest rectangle holding every pixel that is light
// (on the projector's black) or dark (on paper).
QRect inkBox(const QImage& image, bool lightInk)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (test::dark(image.pixel(x, y)) != lightInk)
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

// Each output of a draw of every field size: the part of the bracket in use (its names, lines
// and connectors) fills the screen, the page or the picture, inside their margin, from one side
// to the other in at least one direction. The names are long, so that they reach the left end
// of their slots as the lines reach the right end of the bracket.
class BracketInUse : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        board.Load();
        test::drawAndMark(board, {GetParam(), {}});
        for (int i = 0; i < GetParam(); ++i)
            board.setSlotCaption(i, std::string(80, 'l'));
    }

    static void expectFills(const QRect& ink, const QRectF& area)
    {
        EXPECT_TRUE(area.contains(ink))
            << "ink " << ink.x() << "," << ink.y() << " " << ink.width() << "x" << ink.height();
        // What stays empty is the board's own margin and the space above and below a name.
        EXPECT_TRUE(ink.width() >= 0.85 * area.width() || ink.height() >= 0.85 * area.height())
            << "ink " << ink.width() << "x" << ink.height() << " of " << area.width() << "x"
            << area.height();
    }

    BracketBoard board;
};

TEST_P(BracketInUse, FillsTheScreenThePageAndThePicture)
{
    {
        SCOPED_TRACE("projector");
        BracketProjectorView view(board);
        view.resize(1280, 720);
        const QImage shot = view.grab().toImage();
        const qreal margin = std::min(shot.width(), shot.height()) * 0.04;
        expectFills(inkBox(shot, true),
                    QRectF(shot.rect()).adjusted(margin, margin, -margin, -margin));
    }
    {
        SCOPED_TRACE("page");
        const int dpi = 100;
        QImage page(1169, 827, QImage::Format_RGB32); // A4 landscape
        page.fill(Qt::white);
        const QRect printable = page.rect().adjusted(39, 39, -39, -39); // 10 mm all round
        {
            QPainter painter(&page);
            paintBracketPage(painter, printable, dpi, board, QDateTime(QDate(2026, 12, 7), {}));
        }
        const int footer = qRound(16 / 72.0 * dpi); // the date and the program's name
        const QRect above = printable.adjusted(0, 0, 0, -footer);
        expectFills(inkBox(page.copy(above), false).translated(above.topLeft()), above);
    }
    {
        SCOPED_TRACE("picture");
        const QImage picture = bracketPicture(board);
        expectFills(inkBox(picture, false), picture.rect());
    }
    // A full bracket takes the whole board: it is drawn everywhere exactly as before.
    if (GetParam() == 16) {
        EXPECT_EQ(bracketArea(board), QRect(QPoint(0, 0), bracketCanvasSize()));
    }
}

INSTANTIATE_TEST_SUITE_P(FieldSizes, BracketInUse, ::testing::Range(2, 17),
                         [](const auto& size) { return "Field" + std::to_string(size.param); });

// At a scale between whole numbers (a 1280 x 720 projector) every line has the same thickness,
// rather than some one pixel and some two.
TEST(BracketRenderer, LinesKeepOneThicknessAtAnyScale)
{
    BracketBoard board;
    board.Load();
    for (const qreal scale : {1.93, 2.5, 4.37}) {
        QImage image((QSizeF(bracketCanvasSize()) * scale).toSize() + QSize(2, 2),
                     QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            paintBracket(painter, board, QTransform::fromScale(scale, scale), paperStyle());
        }
        std::set<int> thicknesses;
        for (int k = 0; k < board::kLineCount; ++k) {
            const QPoint at = (test::samplePoint(board.line(k)) * scale).toPoint();
            int thickness = 0;
            for (int dy = -8; dy <= 8; ++dy)
                thickness += test::dark(image.pixel(at + QPoint(0, dy)));
            thicknesses.insert(thickness);
        }
        EXPECT_EQ(thicknesses, std::set<int>{qRound(scale)}) << "scale " << scale;
    }
}

// A name too long for its slot is cut with an ellipsis and stays clear of the lines, however
// large the bracket is drawn.
TEST(BracketRenderer, LongNamesStayInsideTheirSlot)
{
    BracketBoard board;
    board.Load();
    for (int i = 0; i < board::kSlotCount; ++i)
        board.setSlotCaption(i, "とても長い名前の参加者さん Maximiliane Wolfeschlegelstein");
    for (const int scale : {1, 3, 7}) {
        const QImage image = bracketImage(board, scale, paperStyle());
        const BoardSlot s = board::slotPlace(4);
        const QRect slot = toPixels(TwipsRect{s.left, s.top, s.width, s.height});
        const int lineStart = twipsToPixels(board.line(4).x1) * scale;
        int inkInSlot = 0;
        for (int y = slot.top() * scale; y < (slot.bottom() + 1) * scale; ++y) {
            for (int x = 0; x < slot.left() * scale; ++x)
                EXPECT_FALSE(test::dark(image.pixel(x, y)))
                    << "scale " << scale << ": ink left of the slot at " << x;
            for (int x = slot.right() * scale + scale; x < lineStart; ++x)
                EXPECT_FALSE(test::dark(image.pixel(x, y)))
                    << "scale " << scale << ": ink between the slot and the line at " << x;
            for (int x = slot.left() * scale; x <= slot.right() * scale; ++x)
                inkInSlot += test::dark(image.pixel(x, y));
        }
        EXPECT_GT(inkInSlot, 20 * scale * scale) << "scale " << scale;
    }
}

} // namespace
} // namespace velka
