#include "swiss/PlayerListFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace velka {

namespace {

std::optional<QString> decodeStrictly(QStringDecoder decoder, QByteArrayView bytes)
{
    if (!decoder.isValid())
        return std::nullopt;
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

Message fileRefusal(const QString& path, const std::string& why)
{
    return errorMessage("参加者を読み込めませんでした。\r\n" +
                        QDir::toNativeSeparators(path).toStdString() + "\r\n" + why);
}

} // namespace

std::optional<QString> decodePlayerList(const QByteArray& bytes)
{
    if (bytes.contains('\0'))
        return std::nullopt;
    static const QByteArray byteOrderMark("\xEF\xBB\xBF");
    // A byte-order mark says UTF-8 for certain: such a file is nothing else.
    if (bytes.startsWith(byteOrderMark))
        return decodeStrictly(QStringDecoder(QStringDecoder::Utf8),
                              QByteArrayView(bytes).sliced(byteOrderMark.size()));
    if (auto text = decodeStrictly(QStringDecoder(QStringDecoder::Utf8), bytes))
        return text;
    // Qt decodes Shift_JIS through ICU, whose table also has the vendor characters that
    // Windows and Excel write (①, ㈱, 髙).
    return decodeStrictly(QStringDecoder("Shift_JIS"), bytes);
}

PlayerReading readPlayerListFile(const QString& path)
{
    QFile file(path);
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly))
        return {{}, fileRefusal(path, "ファイルを開けません。" + file.errorString().toStdString())};
    if (file.size() > kMaxPlayerListBytes)
        return {{}, fileRefusal(path, "ファイルが大きすぎます（名簿は1MBまでです）。")};
    const QByteArray bytes = file.read(kMaxPlayerListBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return {{}, fileRefusal(path, "ファイルを読めません。" + file.errorString().toStdString())};
    if (bytes.size() > kMaxPlayerListBytes)
        return {{}, fileRefusal(path, "ファイルが大きすぎます（名簿は1MBまでです）。")};
    const std::optional<QString> text = decodePlayerList(bytes);
    if (!text)
        return {{},
                fileRefusal(path, "文字を読み取れません。UTF-8 か Shift_JIS のテキストファイル"
                                  "か CSV ファイルを選んでください。")};
    const std::string utf8 = text->toStdString();
    PlayerReading reading = QFileInfo(path).suffix().compare(u"csv", Qt::CaseInsensitive) == 0
                                ? playersFromCsv(utf8)
                                : playersFromLines(utf8);
    if (reading.refusal)
        reading.refusal = fileRefusal(path, reading.refusal->text);
    return reading;
}

} // namespace velka
