#include "uikit/AccessibleName.h"

namespace velka {

namespace {

bool isOpening(QChar c)
{
    return c == u'(' || c == u'（';
}

bool isClosing(QChar c)
{
    return c == u')' || c == u'）';
}

bool isColon(QChar c)
{
    return c == u':' || c == u'：';
}

void chopTrailingBlanks(QString& text)
{
    while (!text.isEmpty() && text.back().isSpace())
        text.chop(1);
}

} // namespace

QString accessibleNameOf(const QString& caption)
{
    QString name;
    name.reserve(caption.size());
    const qsizetype n = caption.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = caption[i];
        if (c != u'&' || i + 1 == n) {
            name += c; // a "&" at the very end marks nothing and is shown as it stands
            continue;
        }
        const QChar next = caption[i + 1];
        ++i;
        if (next == u'&') {
            name += u'&';
        } else if (!name.isEmpty() && isOpening(name.back()) && i + 1 < n &&
                   isClosing(caption[i + 1])) {
            // "(&C)": the whole group only marks the key.
            name.chop(1);
            chopTrailingBlanks(name);
            ++i;
        } else {
            name += next;
        }
    }

    chopTrailingBlanks(name);
    while (!name.isEmpty() && isColon(name.back())) {
        name.chop(1);
        chopTrailingBlanks(name);
    }

    QString closers;
    for (QChar c : name) {
        if (isOpening(c))
            closers.prepend(c == u'(' ? u')' : u'）');
        else if (isClosing(c) && !closers.isEmpty())
            closers.remove(0, 1);
    }
    return name + closers;
}

} // namespace velka
