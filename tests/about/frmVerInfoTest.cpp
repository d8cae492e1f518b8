#include "about/frmVerInfo.h"

#include "about/DesktopWebBrowser.h"
#include "about/VersionInfo.h"
#include "about/WebAddresses.h"
#include "core/ProgramVersion.h"
#include "tests/support/AccessKeys.h"
#include "tests/support/RecordingWebBrowser.h"
#include "tests/support/WindowTest.h"

#include <QDesktopServices>
#include <QFile>
#include <QFontInfo>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QUrl>
#include <QWindow>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace velka {
namespace {

using test::control;

class VerInfoTest : public ::testing::Test {
protected:
    void SetUp() override { window = std::make_unique<frmVerInfo>(browser); }

    void show() { ASSERT_TRUE(test::showActive(window.get())); }

    template <typename T = QWidget>
    T* find(const char* name) const
    {
        return control<T>(window.get(), QString::fromLatin1(name));
    }

    test::RecordingWebBrowser browser;
    std::unique_ptr<frmVerInfo> window;
};

TEST_F(VerInfoTest, EveryOpeningShowsTheBuildsVersion)
{
    // The version as the build gives it (project(VERSION)), in the label's words.
    const QString version = QString::fromStdString(
        BuildVersionLabel(kProgramVersion.major, kProgramVersion.minor, kProgramVersion.revision));
    for (int opening = 0; opening < 2; ++opening) {
        window = std::make_unique<frmVerInfo>(browser);
        auto* label = find<QLabel>("lblVerinfo");
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(), version) << "opening " << opening;
        EXPECT_TRUE(label->alignment() & Qt::AlignRight);
    }
}

TEST_F(VerInfoTest, IsAFixedDialogWithOnlyACloseBox)
{
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Velka Tablewright Version Infomation"));
    EXPECT_EQ(window->size(), QSize(399, 189)); // 5985 x 2835 twips of client area
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    const Qt::WindowFlags flags = window->windowFlags();
    EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Dialog);
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(window->testAttribute(Qt::WA_DeleteOnClose)) << "the opener decides";
}

struct Place {
    const char* name;
    QRect pixels;
};

class VerInfoPlaces : public VerInfoTest, public ::testing::WithParamInterface<Place> {};

TEST_P(VerInfoPlaces, StandWhereDesigned)
{
    auto* widget = find(GetParam().name);
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->geometry(), GetParam().pixels);
}

// Twips / 15, rounded to the nearest pixel.
INSTANTIATE_TEST_SUITE_P(
    Controls, VerInfoPlaces,
    ::testing::Values(Place{"Image1", {7, 7, 32, 32}}, Place{"Label1", {42, 7, 344, 29}},
                      Place{"lblVerinfo", {217, 42, 169, 15}}, Place{"Text1", {7, 63, 386, 71}},
                      Place{"Image2", {7, 142, 160, 38}}, Place{"Image3", {175, 141, 120, 40}},
                      Place{"cmdOK", {301, 150, 92, 22}}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(VerInfoTest, ProductNameInBoldItalicJapaneseGothic)
{
    auto* label = find<QLabel>("Label1");
    EXPECT_EQ(label->text(), QStringLiteral("Velka Tablewright"));
    EXPECT_DOUBLE_EQ(label->font().pointSizeF(), 21.75);
    const QFontInfo used(label->font());
    EXPECT_EQ(used.family(), QStringLiteral("IPAPGothic"));
    EXPECT_TRUE(used.bold());
    EXPECT_TRUE(used.italic());
}

// The rows from the first to the last with ink on them.
int inkHeight(const QImage& image)
{
    int top = -1;
    int bottom = -1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < 128) {
                if (top < 0)
                    top = y;
                bottom = y;
                break;
            }
        }
    }
    return top < 0 ? 0 : bottom - top + 1;
}

TEST_F(VerInfoTest, ProductNameIsPaintedWhole)
{
    auto* label = find<QLabel>("Label1");
    show();
    const QImage shown = label->grab().toImage();

    // The same text with room to spare above and below, at the same scale as the screen's.
    const qreal ratio = shown.devicePixelRatio();
    QImage free(QSize(label->width(), label->height() * 3) * ratio, QImage::Format_RGB32);
    free.setDevicePixelRatio(ratio);
    free.fill(Qt::white);
    {
        QPainter painter(&free);
        painter.setFont(label->font());
        painter.setPen(Qt::black);
        painter.drawText(0, label->height() * 2, label->text());
    }
    const int expected = inkHeight(free);
    ASSERT_GT(expected, 20);
    EXPECT_EQ(inkHeight(shown), expected) << "the name is cut at the top or the bottom";
}

TEST_F(VerInfoTest, CreditsShowLineByLineReadOnlyWithAScrollBar)
{
    auto* text = find<QPlainTextEdit>("Text1");
    const QTextDocument* doc = text->document();
    // Each CR LF ends one line; the last one leaves an empty line below the credits.
    ASSERT_EQ(doc->blockCount(), 9);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(doc->findBlockByNumber(i).text().toStdString(), kCreditLines[i])
            << "line " << i + 1;
    }
    EXPECT_TRUE(doc->findBlockByNumber(8).text().isEmpty());
    EXPECT_TRUE(text->isReadOnly());
    EXPECT_EQ(text->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_FALSE(text->accessibleName().isEmpty());

    show();
    text->setFocus();
    QTest::keyClicks(text, QStringLiteral("abc"));
    QTest::keyClick(text, Qt::Key_Delete);
    EXPECT_EQ(text->toPlainText().toStdString(), [] {
        std::string plain;
        for (auto line : kCreditLines)
            plain.append(line).append("\n");
        return plain;
    }());
}

TEST_F(VerInfoTest, OkIsTheDefaultButtonWithItsAccessKey)
{
    auto* ok = find<QPushButton>("cmdOK");
    EXPECT_EQ(ok->text(), QStringLiteral("OK(&O)"));
    EXPECT_TRUE(ok->isDefault());
}

// What closes the window, acting on it while it runs modally.
struct Closing {
    const char* name;
    std::function<void(QWidget* window)> act;
};

class VerInfoClosing : public VerInfoTest, public ::testing::WithParamInterface<Closing> {};

TEST_P(VerInfoClosing, EndsTheModalShow)
{
    bool opened = false;
    bool closedByAction = false;
    const auto watch = test::whenModalOpens([&](QWidget* modal) {
        opened = modal == window.get();
        GetParam().act(modal);
        test::finishAccessKeyPresses(modal);
        closedByAction = !modal->isVisible();
        if (!closedByAction)
            modal->close(); // so that a failing test does not hang
    });
    window->exec();
    EXPECT_TRUE(opened);
    EXPECT_TRUE(closedByAction);
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(browser.opened.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Ways, VerInfoClosing,
    ::testing::Values(
        Closing{"Enter", [](QWidget* w) { QTest::keyClick(w, Qt::Key_Return); }},
        Closing{"KeypadEnter",
                [](QWidget* w) { QTest::keyClick(w, Qt::Key_Enter, Qt::KeypadModifier); }},
        Closing{"EnterInTheCredits",
                [](QWidget* w) {
                    auto* text = w->findChild<QPlainTextEdit*>(QStringLiteral("Text1"));
                    text->setFocus();
                    QTest::keyClick(text, Qt::Key_Return);
                }},
        Closing{"Esc", [](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); }},
        Closing{"ClickOnOK",
                [](QWidget* w) {
                    QTest::mouseClick(w->findChild<QPushButton*>(QStringLiteral("cmdOK")),
                                      Qt::LeftButton);
                }},
        // Access keys go to the window that has the keyboard.
        Closing{"AccessKey",
                [](QWidget* w) {
                    EXPECT_TRUE(QTest::qWaitForWindowActive(w));
                    QTest::keyClick(w, Qt::Key_O, Qt::AltModifier);
                }},
        // The window system's close request, as the close box sends it.
        Closing{"CloseBox", [](QWidget* w) { w->windowHandle()->close(); }}),
    [](const auto& test) { return std::string(test.param.name); });

struct Link {
    const char* name;
    const char* address;
    const char* toolTip;
};

class VerInfoLinks : public VerInfoTest, public ::testing::WithParamInterface<Link> {};

TEST_P(VerInfoLinks, EveryClickOpensThePageAndTheWindowStaysOpen)
{
    show();
    auto* banner = find<QLabel>(GetParam().name);
    QTest::mouseClick(banner, Qt::LeftButton);
    EXPECT_EQ(browser.opened, std::vector<std::string>{GetParam().address});
    EXPECT_TRUE(window->isVisible());

    QTest::mouseClick(banner, Qt::LeftButton);
    EXPECT_EQ(browser.opened, (std::vector<std::string>{GetParam().address, GetParam().address}));
    EXPECT_TRUE(window->isVisible());

    // Only a click of the left button is a click on a link.
    QTest::mouseClick(banner, Qt::RightButton);
    QTest::mousePress(banner, Qt::LeftButton);
    QTest::mouseRelease(banner, Qt::LeftButton, {}, QPoint(-5, -5));
    EXPECT_EQ(browser.opened.size(), 2u);
}

TEST_P(VerInfoLinks, ShowTheirTooltipAndTheHandAndTakeNoFocus)
{
    auto* banner = find<QLabel>(GetParam().name);
    EXPECT_EQ(banner->toolTip(), QString::fromUtf8(GetParam().toolTip));
    EXPECT_FALSE(banner->accessibleName().isEmpty());
    EXPECT_EQ(banner->focusPolicy(), Qt::NoFocus);

    const QCursor cursor = banner->cursor();
    EXPECT_EQ(cursor.shape(), Qt::BitmapCursor);
    EXPECT_EQ(cursor.hotSpot(), QPoint(12, 1));
    const QImage hand = cursor.pixmap().toImage();
    ASSERT_EQ(hand.size(), QSize(32, 32));
    // The hot spot is on the black outline of the fingertip; the corners are see-through.
    EXPECT_EQ(hand.pixelColor(12, 1), QColor(Qt::black));
    EXPECT_EQ(hand.pixelColor(12, 0).alpha(), 0);
    EXPECT_EQ(hand.pixelColor(0, 0).alpha(), 0);
    EXPECT_EQ(hand.pixelColor(31, 31).alpha(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Banners, VerInfoLinks,
    ::testing::Values(Link{"Image2", kGroupHomePageAddress, "Velka HomePageへアクセスします。"},
                      Link{"Image3", kMakerPageAddress, "Software Exampleにアクセスします。"}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(VerInfoTest, TheIconIsAPlainPicture)
{
    auto* icon = find<QLabel>("Image1");
    EXPECT_FALSE(icon->testAttribute(Qt::WA_SetCursor));
    EXPECT_EQ(icon->cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(icon->focusPolicy(), Qt::NoFocus);
    show();
    QTest::mouseClick(icon, Qt::LeftButton);
    EXPECT_TRUE(browser.opened.empty());
    EXPECT_TRUE(window->isVisible());
}

TEST_F(VerInfoTest, PicturesHaveTheirNaturalSizes)
{
    EXPECT_EQ(find<QLabel>("Image1")->pixmap().size(), QSize(32, 32));
    EXPECT_EQ(find<QLabel>("Image2")->pixmap().size(), QSize(160, 38));
    EXPECT_EQ(find<QLabel>("Image3")->pixmap().size(), QSize(120, 40));
}

// On a screen that Qt scales by 2 each picture pixel becomes a block of device pixels of its own
// colour: a smoothed picture would show colours that the picture does not have.
TEST_F(VerInfoTest, PicturesStayPixelExactOnAScreenOfDoubleResolution)
{
    const QColor background(1, 2, 3);
    for (const char* name : {"Image1", "Image2", "Image3"}) {
        auto* picture = find<QLabel>(name);
        ASSERT_NE(picture, nullptr);
        const QImage source = picture->pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
        QSet<QRgb> allowed{background.rgb()};
        for (int y = 0; y < source.height(); ++y) {
            for (int x = 0; x < source.width(); ++x) {
                if (qAlpha(source.pixel(x, y)) == 255)
                    allowed.insert(source.pixel(x, y));
            }
        }

        QImage shown(picture->size() * 2, QImage::Format_RGB32);
        shown.setDevicePixelRatio(2);
        shown.fill(background);
        picture->render(&shown, {}, {}, QWidget::DrawChildren); // no window background
        int foreign = 0;
        for (int y = 0; y < shown.height(); ++y) {
            for (int x = 0; x < shown.width(); ++x)
                foreign += !allowed.contains(shown.pixel(x, y));
        }
        EXPECT_EQ(foreign, 0) << name << ": device pixels in colours the picture does not have";
        // The top left picture pixel covers the top left 2 x 2 device pixels.
        const QRgb corner = shown.pixel(0, 0);
        EXPECT_EQ(shown.pixel(1, 0), corner) << name;
        EXPECT_EQ(shown.pixel(0, 1), corner) << name;
        EXPECT_EQ(shown.pixel(1, 1), corner) << name;
    }
}

// Width, height and bits per pixel from the header of an uncompressed BMP file.
struct BmpHeader {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    int compression = -1;
};

BmpHeader readBmpHeader(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.read(34);
    if (bytes.size() < 34 || !bytes.startsWith("BM"))
        return {};
    const auto le = [&bytes](int at, int size) {
        int value = 0;
        for (int i = size - 1; i >= 0; --i)
            value = value * 256 + static_cast<unsigned char>(bytes[at + i]);
        return value;
    };
    return {le(18, 4), le(22, 4), le(28, 2), le(30, 4)};
}

TEST(VerInfoPictures, BannersAreTwentyFourBitColour)
{
    const struct {
        const char* path;
        int width;
        int height;
    } banners[] = {{":/velka/pictures/group-banner.bmp", 160, 38},
                   {":/velka/pictures/maker-banner.bmp", 120, 40}};
    for (const auto& b : banners) {
        const BmpHeader header = readBmpHeader(QString::fromLatin1(b.path));
        EXPECT_EQ(header.width, b.width) << b.path;
        EXPECT_EQ(header.height, b.height) << b.path;
        EXPECT_EQ(header.bitsPerPixel, 24) << b.path;
        EXPECT_EQ(header.compression, 0) << b.path;
    }
}

TEST(VerInfoPictures, PointerHasSixteenColoursAtMost)
{
    const QImage hand(QStringLiteral(":/velka/pictures/pointing-hand.xpm"));
    ASSERT_EQ(hand.size(), QSize(32, 32));
    QSet<QRgb> colours;
    for (int y = 0; y < hand.height(); ++y) {
        for (int x = 0; x < hand.width(); ++x)
            colours.insert(hand.pixel(x, y));
    }
    EXPECT_LE(colours.size(), 16);
    EXPECT_GE(colours.size(), 3) << "outline, fill and the see-through background";
}

TEST_F(VerInfoTest, TabGoesBetweenTheCreditsAndOK)
{
    show();
    auto* text = find("Text1");
    auto* ok = find("cmdOK");
    EXPECT_EQ(QApplication::focusWidget(), text);
    QTest::keyClick(text, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), ok);
    QTest::keyClick(ok, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), text);
    QTest::keyClick(text, Qt::Key_Backtab);
    EXPECT_EQ(QApplication::focusWidget(), ok);
}

// Answers openUrl for web addresses instead of the desktop.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void catchUrl(const QUrl& url) { urls.append(url); }
};

TEST(DesktopWebBrowser, PassesTheAddressToTheDesktop)
{
    UrlCatcher catcher;
    for (const char* scheme : {"http", "https"})
        QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &catcher, "catchUrl");
    DesktopWebBrowser browser;
    browser.open(kGroupHomePageAddress);
    browser.open(kMakerPageAddress);
    for (const char* scheme : {"http", "https"})
        QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    EXPECT_EQ(catcher.urls, (QList<QUrl>{QUrl(QString::fromLatin1(kGroupHomePageAddress)),
                                         QUrl(QString::fromLatin1(kMakerPageAddress))}));
}

} // namespace
} // namespace velka

#include "frmVerInfoTest.moc"
