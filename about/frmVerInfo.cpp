#include "about/frmVerInfo.h"

#include "about/VersionInfo.h"
#include "about/WebAddresses.h"
#include "about/WebBrowser.h"
#include "core/Message.h"
#include "core/ProgramVersion.h"
#include "uikit/AccessibleName.h"
#include "uikit/Application.h"
#include "uikit/Fonts.h"
#include "uikit/TabOrder.h"
#include "uikit/Twips.h"

#include <QCursor>
#include <QMouseEvent>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>

namespace velka {

namespace {

constexpr int kClientWidth = 5985; // twips
constexpr int kClientHeight = 2835;

constexpr TwipsRect kImage1Place{105, 105, 480, 480};
constexpr TwipsRect kLabel1Place{630, 105, 5160, 435};
constexpr TwipsRect kVerinfoPlace{3255, 630, 2535, 225};
constexpr TwipsRect kText1Place{105, 945, 5790, 1065};
constexpr TwipsRect kImage2Place{105, 2137, 2400, 570};
constexpr TwipsRect kImage3Place{2625, 2122, 1800, 600};
constexpr TwipsRect kOKPlace{4515, 2257, 1380, 330};

constexpr int kIconPixels = 32;
constexpr qreal kProductNamePointSize = 21.75;

// The design text of the version label; the load step replaces it before the window shows.
const char* const kDesignVersionCaption = "Version 0.00.0000";

// Shown on the maker's banner and in its tooltip.
const char* const kMakerSiteName = "Software Example";

QCursor pointingHandCursor()
{
    return QCursor(QPixmap(QStringLiteral(":/velka/pictures/pointing-hand.xpm")), 12, 1);
}

} // namespace

LinkPicture::LinkPicture(QWidget* parent)
    : PixelPicture(parent)
{
    setFocusPolicy(Qt::NoFocus);
}

void LinkPicture::mousePressEvent(QMouseEvent* event)
{
    pressed_ = event->button() == Qt::LeftButton;
    QLabel::mousePressEvent(event);
}

void LinkPicture::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = pressed_ && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    pressed_ = false;
    QLabel::mouseReleaseEvent(event);
    if (click)
        emit clicked();
}

frmVerInfo::frmVerInfo(WebBrowser& browser, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    , browser_(browser)
{
    setObjectName(QStringLiteral("frmVerInfo"));
    setWindowTitle(QString::fromUtf8(kApplicationTitle) + QStringLiteral(" Version Infomation"));
    setFixedClientSizeInTwips(this, kClientWidth, kClientHeight);
    createWidgets();
    connectWidgets();
    Load();
}

void frmVerInfo::createWidgets()
{
    const auto label = [this](const char* name, const TwipsRect& place) {
        auto* l = new QLabel(this);
        l->setObjectName(QString::fromLatin1(name));
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        placeInTwips(l, place);
        return l;
    };
    Image1 = new PixelPicture(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    placeInTwips(Image1, kImage1Place);
    Image1->setPixmap(applicationIcon().pixmap(kIconPixels, kIconPixels));
    Image1->setAccessibleName(QString::fromUtf8(kApplicationTitle));

    Label1 = label("Label1", kLabel1Place);
    Label1->setText(QString::fromUtf8(kApplicationTitle));
    Label1->setFont(japaneseGothic(kProductNamePointSize, QFont::Bold, true));
    // The installed gothic's line is taller than the label (IPAPGothic: 32 px for 29), but most
    // of the excess is the empty space above the capitals. Standing on the bottom edge, the
    // name keeps its descenders and loses none of its ink.
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignBottom);

    lblVerinfo = label("lblVerinfo", kVerinfoPlace);
    lblVerinfo->setAlignment(Qt::AlignRight | Qt::AlignTop);
    lblVerinfo->setText(QString::fromLatin1(kDesignVersionCaption));

    Text1 = new QPlainTextEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setReadOnly(true);
    // Read-only, but the keyboard can still move through the credits and select them.
    Text1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    Text1->setTabChangesFocus(true);
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Text1->setPlainText(QString::fromStdString(CreditsText()));
    Text1->setAccessibleName(QStringLiteral("クレジット"));
    placeInTwips(Text1, kText1Place);

    const QCursor hand = pointingHandCursor();
    const auto link = [this, &hand](const char* name, const char* picture, const QString& site,
                                    const QString& toolTip, const TwipsRect& place) {
        auto* l = new LinkPicture(this);
        l->setObjectName(QString::fromLatin1(name));
        l->setPixmap(QPixmap(QStringLiteral(":/velka/pictures/%1").arg(QLatin1String(picture))));
        l->setCursor(hand);
        l->setToolTip(toolTip);
        l->setAccessibleName(site);
        l->setAccessibleDescription(toolTip);
        placeInTwips(l, place);
        return l;
    };
    Image2 = link("Image2", "group-banner.bmp", QStringLiteral("Velka HomePage"),
                  QStringLiteral("Velka HomePageへアクセスします。"), kImage2Place);
    const QString makerSite = QString::fromLatin1(kMakerSiteName);
    Image3 = link("Image3", "maker-banner.bmp", makerSite,
                  makerSite + QStringLiteral("にアクセスします。"), kImage3Place);

    cmdOK = new QPushButton(QStringLiteral("OK(&O)"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setAccessibleName(accessibleNameOf(cmdOK->text()));
    cmdOK->setDefault(true);
    placeInTwips(cmdOK, kOKPlace);

    // Label1 (0) and lblVerinfo (1) come first in the design but take no focus.
    applyTabOrder({{2, Text1}, {3, cmdOK}});
}

void frmVerInfo::connectWidgets()
{
    // Esc rejects the dialog and the close box closes it, which QDialog does on its own.
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(Image2, &LinkPicture::clicked, this,
            [this] { OpenWebPage(browser_, kGroupHomePageAddress); });
    connect(Image3, &LinkPicture::clicked, this,
            [this] { OpenWebPage(browser_, kMakerPageAddress); });
}

void frmVerInfo::Load()
{
    lblVerinfo->setText(QString::fromStdString(
        BuildVersionLabel(kProgramVersion.major, kProgramVersion.minor, kProgramVersion.revision)));
}

} // namespace velka
