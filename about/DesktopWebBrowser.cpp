#include "about/DesktopWebBrowser.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>

namespace velka {

void DesktopWebBrowser::open(const std::string& address)
{
    QDesktopServices::openUrl(QUrl(QString::fromStdString(address), QUrl::StrictMode));
}

} // namespace velka
