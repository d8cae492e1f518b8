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
#include <string>
#include <tuple>

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
    const QRect area = bracketArea(form->board(), paperStyle().font, kPictureScale);
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
    EXPECT_TRUE(QRectF(printable).contains(
        placed.mapRect(drawnBracketArea(form->board(), paperStyle().font, placed.m11()))));
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

// Each output of a draw of every field size, with the names of a real field (most of them short)
// and with names too long for their slots: what is drawn (the names as wide as they are set, the
// lines and the connectors) stays inside the screen, the page or the picture less its margin, and
// reaches across it in at least one direction.
class BracketInUse : public ::testing::TestWithParam<std::tuple<int, bool>> {
protected:
    void SetUp() override
    {
        const auto [fieldSize, longNames] = GetParam();
        board.Load();
        test::drawAndMark(board, {fieldSize, {}});
        for (int i = 0; longNames && i < fieldSize; ++i)
            board.setSlotCaption(i, std::string(80, 'l'));
    }

    static void expectFills(const QRect& ink, const QRectF& target, const std::string& where)
    {
        SCOPED_TRACE(where);
        ASSERT_FALSE(ink.isEmpty());
        // A device pixel that a line or a glyph only touches may be inked.
        EXPECT_TRUE(target.adjusted(-1, -1, 1, 1).contains(QRectF(ink)))
            << "ink " << ink.x() << "," << ink.y() << " " << ink.width() << "x" << ink.height()
            << " outside " << target.x() << "," << target.y() << " " << target.width() << "x"
            << target.height();
        // What may stay empty where the bracket reaches across: the side bearings of a name, and
        // part of a character where a name too long for its slot is cut.
        const qreal across = std::max(ink.width() / target.width(), ink.height() / target.height());
        EXPECT_GE(across, 0.98) << "ink takes " << qRound(100 * ink.width() / target.width())
                                << " % of the width and "
                                << qRound(100 * ink.height() / target.height())
                                << " % of the height";
    }

    BracketBoard board;
};

TEST_P(BracketInUse, FillsTheScreenThePageAndThePicture)
{
    for (const QSize screen : {QSize(1280, 1024), QSize(1280, 720), QSize(1920, 1080)}) {
        BracketProjectorView view(board);
        view.resize(screen);
        const QImage shot = view.grab().toImage();
        const qreal margin = std::min(shot.width(), shot.height()) * 0.04;
        expectFills(
            inkBox(shot, true), QRectF(shot.rect()).adjusted(margin, margin, -margin, -margin),
            "projector " + std::to_string(screen.width()) + "x" + std::to_string(screen.height()));
    }
    const int dpi = 100;
    for (const QSize paper : {QSize(1169, 827), QSize(827, 1169)}) { // A4 both ways
        QImage page(paper, QImage::Format_RGB32);
        page.fill(Qt::white);
        const QRect printable = page.rect().adjusted(39, 39, -39, -39); // 10 mm all round
        {
            QPainter painter(&page);
            paintBracketPage(painter, printable, dpi, board, QDateTime(QDate(2026, 12, 7), {}));
        }
        const int footer = qRound(16 / 72.0 * dpi); // the date and the program's name
        const QRect above = printable.adjusted(0, 0, 0, -footer);
        expectFills(inkBox(page.copy(above), false).translated(above.topLeft()), above,
                    paper.width() > paper.height() ? "A4 landscape" : "A4 portrait");
    }
    const QImage picture = bracketPicture(board);
    const int margin = twipsToPixels(105) * kPictureScale; // the board's own, around the bracket
    expectFills(inkBox(picture, false), picture.rect().adjusted(margin, margin, -margin, -margin),
                "picture");
}

INSTANTIATE_TEST_SUITE_P(FieldSizes, BracketInUse,
                         ::testing::Combine(::testing::Range(2, 17), ::testing::Bool()),
                         [](const auto& field) {
                             return "Field" + std::to_string(std::get<0>(field.param)) +
                                    (std::get<1>(field.param) ? "LongNames" : "");
                         });

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
        // The picture starts where its area does; the rest is measured on the board.
        const QPoint origin = bracketArea(board, paperStyle().font, scale).topLeft();
        const BoardSlot s = board::slotPlace(4);
        const QRect slot =
            toPixels(TwipsRect{s.left, s.top, s.width, s.height}).translated(-origin);
        const int lineStart = (twipsToPixels(board.line(4).x1) - origin.x()) * scale;
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
