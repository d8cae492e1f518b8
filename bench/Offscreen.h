#pragma once

#include <QByteArray>
#include <QLatin1String>
#include <QString>
#include <QtGlobal>

namespace velka::bench {

// Before the QApplication: the windows go to the offscreen platform unless QT_QPA_PLATFORM
// names another, and that platform's warning on every fixed-size window it is asked to resize
// is kept out of the benchmark's output.
inline void useQuietOffscreenPlatform()
{
    static const QtMessageHandler defaultHandler = qInstallMessageHandler(nullptr);
    qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext& context, const QString& text) {
            if (!text.startsWith(QLatin1String("This plugin does not support")))
                defaultHandler(type, context, text);
        });
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

} // namespace velka::bench
