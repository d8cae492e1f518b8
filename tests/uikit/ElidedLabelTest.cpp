#include "uikit/ElidedLabel.h"

#include <QApplication>
#include <QFontMetrics>

#include <gtest/gtest.h>

namespace velka {
namespace {

QString repeated(const QString& part, int times)
{
    QString text;
    for (int i = 0; i < times; ++i)
        text += part;
    return text;
}

// A long name is cut where the toolkit would cut the whole of it, though only its beginning is
// laid out: names of every length and script, clusters of combining marks across the places
// where the beginnings end, invisible characters before the visible ones, line breaks.
TEST(ElidedLine, CutsAsTheToolkitCutsTheWholeText)
{
    const QFontMetrics metrics(QApplication::font());
    const QStringList texts{
        QString(),
        QStringLiteral("Alice"),
        QStringLiteral("山田太郎"),
        QStringLiteral("Maximiliane Wolfeschlegelsteinhausenbergerdorff"),
        repeated(QStringLiteral("名😀e\u0301"), 25'000),
        QString(255, QLatin1Char('a')) + repeated(QStringLiteral("\u0301"), 40) +
            QStringLiteral("b"),
        repeated(QStringLiteral("\u200B"), 3'000) + QStringLiteral("見える名前"),
        repeated(QStringLiteral("\u0645\u0631\u062D\u0628\u0627 "), 200),
        QStringLiteral("一行目\n二行目\r三行目\u2028") + QString(400, QLatin1Char('x')),
    };
    for (const QString& text : texts) {
        for (const int width : {0, 40, 113, 339}) {
            EXPECT_EQ(elidedLine(text, metrics, width),
                      metrics.elidedText(singleLineText(text), Qt::ElideRight, width))
                << "width " << width << ", " << text.left(40).toStdString() << " (" << text.size()
                << " characters)";
        }
    }
}

} // namespace
} // namespace velka
