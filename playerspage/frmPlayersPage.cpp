#include "playerspage/frmPlayersPage.h"

#include "playerspage/PagePublisher.h"
#include "uikit/AccessibleName.h"
#include "uikit/Application.h"
#include "uikit/QrCodePainter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace velka::playerspage {

namespace {

// Room for a code of up to 29 modules (an address of up to 42 characters) and its border at no
// less than 10 pixels a module (11 for the usual code of 25): about 3 mm a module on a screen
// of 96 dots per inch, for a phone's camera a couple of metres off.
constexpr int kCodeSide = 37 * 10;

const char* const kOffText = "公開していません";
const char* const kHint =
    "スマートフォンをこのパソコンと同じ Wi-Fi につないで、QR コードを読み取るか、アドレスを"
    "ブラウザーに入力してください。ゲスト用の Wi-Fi など、つないだ機器どうしを切り離す"
    "ネットワークでは見られません。";

QString addressText(const NetworkAddress& address)
{
    const std::string label = addressLabel(address);
    return QString::fromStdString(label.empty() ? address.address
                                                : address.address + "（" + label + "）");
}

} // namespace

// The page's address as a QR code, large and sharp enough to scan from the laptop's screen, or
// a grey square while the page is off.
class QrCodeView final : public QWidget {
public:
    explicit QrCodeView(QWidget* parent)
        : QWidget(parent)
    {
        setFixedSize(kCodeSide, kCodeSide);
    }

    void setCode(const QrCode& code, const QString& url)
    {
        if (code == code_)
            return;
        code_ = code;
        setAccessibleDescription(url);
        update();
    }
    const QrCode& code() const { return code_; }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        const int module = qrModulePixels(code_, kCodeSide);
        if (module == 0) {
            painter.fillRect(rect(), palette().color(QPalette::Mid));
            return;
        }
        const int side = qrModulesWithBorder(code_) * module;
        painter.fillRect(rect(), Qt::white);
        paintQrCode(painter, code_, QPoint(kCodeSide - side, kCodeSide - side) / 2, module);
    }

private:
    QrCode code_;
};

frmPlayersPage::frmPlayersPage(PagePublisher& publisher, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , publisher_(publisher)
{
    setObjectName(QStringLiteral("frmPlayersPage"));
    setWindowTitle(QStringLiteral("スマートフォンで見る"));
    setWindowIcon(applicationIcon());
    createWidgets();
    fillAddresses();
    connectWidgets();
    showState();
}

frmPlayersPage::~frmPlayersPage() = default;

void frmPlayersPage::createWidgets()
{
    chkPublish = new QCheckBox(QStringLiteral("ページを公開する(&O)"), this);
    chkPublish->setObjectName(QStringLiteral("chkPublish"));
    chkPublish->setAccessibleName(accessibleNameOf(chkPublish->text()));

    lblNetwork = new QLabel(QStringLiteral("公開するネットワーク(&N):"), this);
    lblNetwork->setObjectName(QStringLiteral("lblNetwork"));
    cboNetwork = new QComboBox(this);
    cboNetwork->setObjectName(QStringLiteral("cboNetwork"));
    cboNetwork->setAccessibleName(accessibleNameOf(lblNetwork->text()));
    lblNetwork->setBuddy(cboNetwork);

    picQrCode = new QrCodeView(this);
    picQrCode->setObjectName(QStringLiteral("picQrCode"));
    picQrCode->setAccessibleName(QStringLiteral("ページのアドレスの QR コード"));

    lblAddress = new QLabel(this);
    lblAddress->setObjectName(QStringLiteral("lblAddress"));
    lblAddress->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont large = lblAddress->font();
    large.setPointSizeF(large.pointSizeF() * 1.5);
    large.setBold(true);
    lblAddress->setFont(large);

    lblPhones = new QLabel(this);
    lblPhones->setObjectName(QStringLiteral("lblPhones"));

    lblProblem = new QLabel(this);
    lblProblem->setObjectName(QStringLiteral("lblProblem"));
    lblProblem->setWordWrap(true);
    QPalette red = lblProblem->palette();
    red.setColor(QPalette::WindowText, QColor(0xc0, 0, 0));
    lblProblem->setPalette(red);

    lblHint = new QLabel(QString::fromUtf8(kHint), this);
    lblHint->setObjectName(QStringLiteral("lblHint"));
    lblHint->setWordWrap(true);

    cmdClose = new QPushButton(QStringLiteral("閉じる"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));

    auto* network = new QHBoxLayout;
    network->addWidget(lblNetwork);
    network->addWidget(cboNetwork, 1);

    auto* heading = new QLabel(QStringLiteral("ページのアドレス:"), this);
    heading->setObjectName(QStringLiteral("lblAddressHeading"));
    auto* facts = new QVBoxLayout;
    facts->addWidget(heading);
    facts->addWidget(lblAddress);
    facts->addWidget(lblPhones);
    facts->addWidget(lblProblem);
    facts->addStretch(1);

    auto* code = new QHBoxLayout;
    code->addWidget(picQrCode, 0, Qt::AlignTop);
    code->addLayout(facts, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdClose);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(chkPublish);
    layout->addLayout(network);
    layout->addLayout(code);
    layout->addWidget(lblHint);
    layout->addLayout(buttons);
    // Room beside the code for the longest address, "http://192.168.100.200:8765/".
    lblAddress->setMinimumWidth(lblAddress->fontMetrics().horizontalAdvance(
                                    QStringLiteral("http://192.168.100.200:8765/")) +
                                lblAddress->fontMetrics().averageCharWidth());
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void frmPlayersPage::connectWidgets()
{
    connect(chkPublish, &QCheckBox::toggled, this, &frmPlayersPage::publishOn);
    connect(cboNetwork, &QComboBox::currentIndexChanged, this, &frmPlayersPage::chooseAddress);
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);
    connect(&publisher_, &PagePublisher::changed, this, &frmPlayersPage::showState);
}

void frmPlayersPage::fillAddresses()
{
    offered_ = publisher_.offeredAddresses();
    // The address the page is on, else the one chosen before in this run, else the default.
    const std::string& wanted =
        publisher_.isOn() ? publisher_.address() : publisher_.chosenAddress();
    if (!wanted.empty() &&
        std::none_of(offered_.begin(), offered_.end(),
                     [&](const NetworkAddress& a) { return a.address == wanted; }))
        offered_.insert(offered_.begin(), NetworkAddress{wanted, {}, NetworkAddress::Kind::Other});
    int current = defaultAddressIndex(offered_);
    for (int i = 0; i < static_cast<int>(offered_.size()); ++i) {
        if (offered_[i].address == wanted)
            current = i;
    }
    const QSignalBlocker blocker(cboNetwork);
    cboNetwork->clear();
    for (const NetworkAddress& address : offered_)
        cboNetwork->addItem(addressText(address));
    cboNetwork->setCurrentIndex(current);
}

void frmPlayersPage::publishOn(bool on)
{
    const int index = cboNetwork->currentIndex();
    if (!on)
        publisher_.turnOff();
    else if (index >= 0)
        publisher_.turnOn(offered_[static_cast<std::size_t>(index)].address);
    showState();
}

void frmPlayersPage::chooseAddress(int index)
{
    if (index < 0)
        return;
    const std::string& address = offered_[static_cast<std::size_t>(index)].address;
    // While the page is on, it moves to the new address at once.
    if (publisher_.isOn())
        publisher_.turnOn(address);
    else
        publisher_.choose(address);
    showState();
}

void frmPlayersPage::showState()
{
    const bool on = publisher_.isOn();
    {
        const QSignalBlocker blocker(chkPublish);
        chkPublish->setChecked(on);
    }
    const PublishedAddress& published = publisher_.publishedAddress();
    lblAddress->setText(on ? published.url() : QString::fromUtf8(kOffText));
    picQrCode->setCode(published.code(), published.url());
    lblPhones->setText(
        on ? QStringLiteral("つながっているスマートフォン: %1 台").arg(publisher_.connectedCount())
           : QString());
    const QString problem = QString::fromStdString(publisher_.lastError());
    lblProblem->setText(problem);
    lblProblem->setVisible(!problem.isEmpty());
}

} // namespace velka::playerspage
