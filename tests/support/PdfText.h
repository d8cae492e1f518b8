#pragma once

#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

namespace velka::test {

// Runs a command-line tool (poppler's pdftotext, pdfinfo, pdftoppm) and gives what it printed;
// fails the test when it does not run.
inline QString runTool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    const bool finished = process.waitForFinished(60000);
    EXPECT_TRUE(finished && process.exitCode() == 0)
        << program.toStdString() << ": " << process.readAllStandardError().toStdString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The text of a PDF file as a reader gives it back.
inline QString pdfText(const QString& path)
{
    return runTool(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
}

// How many pages a PDF file has, as a reader counts them; 0 when it cannot tell.
inline int pdfPages(const QString& path)
{
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)"))
                                          .match(runTool(QStringLiteral("pdfinfo"), {path}));
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

// Text as a PDF reader gives it back, for comparing: Arabic comes out in its presentation forms
// and right-to-left runs between direction marks, letters may be spaced out, and a name wrapped
// onto two lines comes out as two.
inline QString comparable(const QString& text)
{
    QString plain = text.normalized(QString::NormalizationForm_KC);
    plain.remove(QRegularExpression(QStringLiteral("[\\s\\x{200e}\\x{200f}\\x{202a}-\\x{202e}]")));
    return plain;
}

} // namespace velka::test
