#pragma once

#include "uikit/PixelPicture.h"

#include <QDialog>
#include <QLabel>

class QMouseEvent;
class QPlainTextEdit;
class QPushButton;

namespace velka {

class WebBrowser;

// A picture that reacts to a click of the left button, pressed and released on it, like a
// link. It takes no keyboard focus.
class LinkPicture final : public PixelPicture {
    Q_OBJECT
public:
    explicit LinkPicture(QWidget* parent = nullptr);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool pressed_ = false;
};

// The version information window: the product name, the version label, the credits and two
// picture links, to the group's home page and to the maker's page. A click on a link opens the
// page through the browser and leaves the window open; OK, Enter, Esc and the close box close
// it. The opener decides whether the window is deleted on closing.
class frmVerInfo final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmVerInfo)

public:
    // Builds the controls and runs the load step, so the window is ready to be shown.
    explicit frmVerInfo(WebBrowser& browser, QWidget* parent = nullptr);

private:
    void createWidgets();
    void connectWidgets();
    // The load step: the version label from the program's version.
    void Load();

    WebBrowser& browser_;

    PixelPicture* Image1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* lblVerinfo = nullptr;
    QPlainTextEdit* Text1 = nullptr;
    LinkPicture* Image2 = nullptr;
    LinkPicture* Image3 = nullptr;
    QPushButton* cmdOK = nullptr;
};

} // namespace velka
