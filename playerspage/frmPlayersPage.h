#pragma once

#include "playerspage/NetworkAddresses.h"

#include <QWidget>

#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

namespace velka::playerspage {

class PagePublisher;
class QrCodeView;

// The organiser's window of the players' page: whether the page is on, the network it is on,
// its address as text and as a QR code to scan, how many phones follow it, and what went wrong.
// Every event goes to one publisher operation; the window then shows the publisher's state. The
// page stays on when the window closes: it runs until it is turned off or the program ends.
class frmPlayersPage final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmPlayersPage)

public:
    explicit frmPlayersPage(PagePublisher& publisher, QWidget* parent = nullptr);
    ~frmPlayersPage() override;

    PagePublisher& publisher() { return publisher_; }
    // The addresses in the list, in its order.
    const std::vector<NetworkAddress>& offered() const { return offered_; }

private:
    void createWidgets();
    void connectWidgets();
    void fillAddresses();
    void showState();
    void publishOn(bool on);
    void chooseAddress(int index);

    PagePublisher& publisher_;
    std::vector<NetworkAddress> offered_;

    QCheckBox* chkPublish = nullptr;
    QLabel* lblNetwork = nullptr;
    QComboBox* cboNetwork = nullptr;
    QrCodeView* picQrCode = nullptr;
    QLabel* lblAddress = nullptr;
    QLabel* lblPhones = nullptr;
    QLabel* lblProblem = nullptr;
    QLabel* lblHint = nullptr;
    QPushButton* cmdClose = nullptr;
};

} // namespace velka::playerspage
