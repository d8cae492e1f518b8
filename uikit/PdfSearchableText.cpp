#include "uikit/PdfSearchableText.h"

#include "uikit/WholeFile.h"

#include <QFile>
#include <QFont>
#include <QPainter>
#include <QRegularExpression>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <set>

namespace velka {

namespace {

// Device pixels between the key's characters and from the page's corner: far off any page.
constexpr qreal kKeyStep = 20000;
// How much of each text the key covers, in UTF-16 code units.
constexpr qsizetype kKeyedLength = 128;

QString latin1(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes);
}

// Where "n 0 obj" begins in the file, just after its header; -1 when it is not there.
qsizetype objectStart(const QByteArray& pdf, int number)
{
    const QByteArray head = "\n" + QByteArray::number(number) + " 0 obj";
    const qsizetype at = pdf.indexOf(head);
    return at < 0 ? -1 : at + head.size();
}

// An object that is no stream: its text up to "endobj".
QByteArray objectText(const QByteArray& pdf, int number)
{
    const qsizetype start = objectStart(pdf, number);
    const qsizetype end = start < 0 ? -1 : pdf.indexOf("endobj", start);
    return end < 0 ? QByteArray() : pdf.mid(start, end - start);
}

// The first number that pattern captures in text, or nothing.
std::optional<qint64> capturedNumber(const QString& text, const QString& pattern)
{
    const QRegularExpressionMatch match = QRegularExpression(pattern).match(text);
    bool ok = false;
    const qint64 value = match.hasMatch() ? match.captured(1).toLongLong(&ok) : 0;
    return ok ? std::optional(value) : std::nullopt;
}

// The decoded contents of stream object number, or nothing.
std::optional<QByteArray> streamData(const QByteArray& pdf, int number)
{
    const qsizetype start = objectStart(pdf, number);
    const qsizetype begin = start < 0 ? -1 : pdf.indexOf("stream\n", start);
    if (begin < 0)
        return std::nullopt;
    const QString dictionary = latin1(pdf.mid(start, begin - start));
    std::optional<qint64> length = capturedNumber(dictionary, QStringLiteral("/Length (\\d+)\\s"));
    if (const auto indirect = capturedNumber(dictionary, QStringLiteral("/Length (\\d+) 0 R"))) {
        length = capturedNumber(latin1(objectText(pdf, static_cast<int>(*indirect))),
                                QStringLiteral("^\\s*(\\d+)"));
    }
    const qsizetype dataStart = begin + 7;
    if (!length || *length < 0 || dataStart + *length > pdf.size())
        return std::nullopt;
    QByteArray data = pdf.mid(dataStart, *length);
    if (!dictionary.contains(QStringLiteral("/FlateDecode")))
        return data;
    // qUncompress wants the size ahead of the data; it grows its buffer past a size too small.
    QByteArray sized(4, '\0');
    qToBigEndian<quint32>(static_cast<quint32>(data.size()) * 4, sized.data());
    QByteArray decoded = qUncompress(sized + data);
    return decoded.isEmpty() ? std::nullopt : std::optional(decoded);
}

// The glyph numbers that a font's character map already gives a character.
std::set<int> mappedGlyphs(const QByteArray& cmap)
{
    std::set<int> mapped;
    const QString text = latin1(cmap);
    static const QRegularExpression section(QStringLiteral("beginbfrange(.*?)endbfrange"),
                                            QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression range(
        QStringLiteral("^\\s*<([0-9A-Fa-f]+)>\\s*<([0-9A-Fa-f]+)>"),
        QRegularExpression::MultilineOption);
    for (auto s = section.globalMatch(text); s.hasNext();) {
        for (auto r = range.globalMatch(s.next().captured(1)); r.hasNext();) {
            const QRegularExpressionMatch m = r.next();
            const int from = m.captured(1).toInt(nullptr, 16);
            const int to = m.captured(2).toInt(nullptr, 16);
            for (int g = from; g <= to && to - from < 0x10000; ++g)
                mapped.insert(g);
        }
    }
    return mapped;
}

QByteArray utf16Hex(char32_t character)
{
    const QString text = QString::fromUcs4(&character, 1);
    QByteArray hex;
    for (const QChar unit : text)
        hex += QByteArray::number(unit.unicode(), 16).rightJustified(4, '0').toUpper();
    return hex;
}

} // namespace

void PdfSearchableText::paintKey(QPainter& painter, const QFont& font, const QStringList& texts)
{
    characters_.clear();
    for (const QString& text : texts) {
        // Only the beginning of a name fits its slot; a name of random rare characters must not
        // make the key longer than the page's text.
        for (const char32_t c : text.left(kKeyedLength).toUcs4()) {
            if (c > 0xFFFF &&
                std::find(characters_.begin(), characters_.end(), c) == characters_.end())
                characters_.push_back(c);
        }
    }
    if (characters_.empty())
        return;
    painter.save();
    painter.resetTransform();
    painter.setFont(font);
    for (std::size_t i = 0; i < characters_.size(); ++i) {
        painter.drawText(QPointF(-kKeyStep * static_cast<qreal>(i + 1), -kKeyStep),
                         QString::fromUcs4(&characters_[i], 1));
    }
    painter.restore();
}

int PdfSearchableText::apply(QByteArray& pdf) const
{
    if (characters_.empty())
        return 0;
    const QString whole = latin1(pdf);
    const QRegularExpressionMatch page =
        QRegularExpression(QStringLiteral("/Contents (\\d+) 0 R\\s*/Resources (\\d+) 0 R"))
            .match(whole);
    if (!page.hasMatch())
        return 0;
    const std::optional<QByteArray> content = streamData(pdf, page.captured(1).toInt());
    if (!content)
        return 0;

    // The page's fonts by the names its content uses for them.
    std::map<QString, int> fonts;
    const QString resources = latin1(objectText(pdf, page.captured(2).toInt()));
    const QRegularExpressionMatch fontDictionary =
        QRegularExpression(QStringLiteral("/Font\\s*<<(.*?)>>"),
                           QRegularExpression::DotMatchesEverythingOption)
            .match(resources);
    static const QRegularExpression fontEntry(QStringLiteral("/(\\w+)\\s+(\\d+) 0 R"));
    for (auto e = fontEntry.globalMatch(fontDictionary.captured(1)); e.hasNext();) {
        const QRegularExpressionMatch m = e.next();
        fonts[m.captured(1)] = m.captured(2).toInt();
    }

    // The key's glyphs: one glyph alone in a text object, where the key drew it.
    std::map<int, std::map<int, char32_t>> found; // character map object -> glyph -> character
    static const QRegularExpression keyText(QStringLiteral(
        "BT\\s+/(\\w+)\\s+\\S+\\s+Tf\\s+(?:\\S+\\s+){6}Tm\\s+(\\S+)\\s+(\\S+)\\s+Td\\s+"
        "<([0-9A-Fa-f]+)>\\s+Tj\\s+ET"));
    for (auto t = keyText.globalMatch(latin1(*content)); t.hasNext();) {
        const QRegularExpressionMatch m = t.next();
        const qreal x = m.captured(2).toDouble();
        const qreal y = m.captured(3).toDouble();
        const long index = std::lround(-x / kKeyStep) - 1;
        if (index < 0 || index >= static_cast<long>(characters_.size()) ||
            std::abs(x + kKeyStep * static_cast<qreal>(index + 1)) > kKeyStep / 4 ||
            std::abs(y - kKeyStep) > kKeyStep / 4 || !fonts.count(m.captured(1)))
            continue;
        const auto map = capturedNumber(latin1(objectText(pdf, fonts[m.captured(1)])),
                                        QStringLiteral("/ToUnicode (\\d+) 0 R"));
        const int glyph = m.captured(4).toInt(nullptr, 16);
        if (map && glyph != 0)
            found[static_cast<int>(*map)][glyph] = characters_[static_cast<std::size_t>(index)];
    }

    // Every character map that gains a glyph is written again, after the file as it was.
    const QString trailer = whole.mid(whole.lastIndexOf(QStringLiteral("trailer")));
    const auto size = capturedNumber(trailer, QStringLiteral("/Size (\\d+)"));
    const QRegularExpressionMatch root =
        QRegularExpression(QStringLiteral("/Root (\\d+ \\d+ R)")).match(trailer);
    const QRegularExpressionMatch info =
        QRegularExpression(QStringLiteral("/Info (\\d+ \\d+ R)")).match(trailer);
    const auto previous = capturedNumber(trailer, QStringLiteral("startxref\\s+(\\d+)"));
    if (!size || !root.hasMatch() || !previous || !pdf.endsWith('\n'))
        return 0;
    QByteArray update;
    QByteArray table;
    int added = 0;
    for (const auto& [number, glyphs] : found) {
        const std::optional<QByteArray> cmap = streamData(pdf, number);
        const qsizetype end = cmap ? cmap->indexOf("endcmap") : -1;
        if (end < 0)
            continue;
        const std::set<int> mapped = mappedGlyphs(*cmap);
        QByteArray entries;
        int count = 0;
        for (const auto& [glyph, character] : glyphs) {
            if (mapped.count(glyph))
                continue;
            entries += '<' + QByteArray::number(glyph, 16).rightJustified(4, '0').toUpper() +
                       "> <" + utf16Hex(character) + ">\n";
            ++count;
        }
        if (count == 0)
            continue;
        const QByteArray repaired = cmap->left(end) + QByteArray::number(count) + " beginbfchar\n" +
                                    entries + "endbfchar\n" + cmap->mid(end);
        const qsizetype offset = pdf.size() + update.size();
        update += QByteArray::number(number) + " 0 obj\n<< /Length " +
                  QByteArray::number(repaired.size()) + " >>\nstream\n" + repaired +
                  "\nendstream\nendobj\n";
        table += QByteArray::number(number) + " 1\n" +
                 QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
        added += count;
    }
    if (added == 0)
        return 0;
    const qsizetype tableOffset = pdf.size() + update.size();
    update += "xref\n" + table + "trailer\n<< /Size " + QByteArray::number(*size) + " /Root " +
              root.captured(1).toLatin1() +
              (info.hasMatch() ? " /Info " + info.captured(1).toLatin1() : QByteArray()) +
              " /Prev " + QByteArray::number(*previous) + " >>\nstartxref\n" +
              QByteArray::number(tableOffset) + "\n%%EOF\n";
    pdf += update;
    return added;
}

bool isWholePdf(const QByteArray& bytes)
{
    return bytes.startsWith("%PDF-") && bytes.trimmed().endsWith("%%EOF");
}

void applySearchableText(const QString& pdfPath, const PdfSearchableText& searchable)
{
    QFile file(pdfPath);
    if (!file.open(QIODevice::ReadOnly))
        return;
    QByteArray bytes = file.readAll();
    file.close();
    if (isWholePdf(bytes) && searchable.apply(bytes) > 0)
        writeWholeFile(pdfPath, bytes);
}

} // namespace velka
