#include "model/messageplace.h"

#include "core/cp1251.h"
#include "core/textutils.h"
#include "model/zentorprogram.h"

namespace {

// Digits from position i; -1 when there are none.
int DecimalAt(const QString &text, qsizetype i, qsizetype *end)
{
    qsizetype k = i;
    qint64 value = 0;
    while (k < text.size() && text[k] >= u'0' && text[k] <= u'9' && k - i < 9) {
        value = value * 10 + (text[k].unicode() - u'0');
        ++k;
    }
    if (end)
        *end = k;
    return k == i ? -1 : static_cast<int>(value);
}

} // namespace

bool ParseMessagePlace(const QString &message, TMessagePlace &place)
{
    place = TMessagePlace();
    const QString upper = ControllerUpper(message);
    if (!upper.startsWith(u'['))
        return false;
    const qsizetype dot = upper.indexOf(u'.');
    if (dot < 2)
        return false;
    const QString tag = upper.mid(1, dot - 1);
    if (tag == u"ЗАГОЛОВОК") {
        place.Code = TTreeItemInfo::HeaderCode;
    } else if (tag.size() == 3 && IsOctalText(tag) && ParseSectionNumber(tag) < 256) {
        place.Code = ParseSectionNumber(tag);
    } else {
        return false;
    }
    // The line number ends at the ":" of the column, or at the "]" of a tag without one.
    qsizetype end = 0;
    place.Line = DecimalAt(upper, dot + 1, &end);
    if (place.Line < 0) {
        place = TMessagePlace();
        return false;
    }
    if (end < upper.size() && upper[end] == u':')
        place.Column = DecimalAt(upper, end + 1, nullptr);
    return true;
}

TPlacedMessage PlaceMessage(const QString &line)
{
    TMessagePlace place;
    if (!ParseMessagePlace(line, place))
        return {-1, -1, -1, line};
    return {place.Code, place.Line, place.Column, line};
}

QMap<int, QMap<int, QStringList>> MessagesByPlace(const QStringList &messages)
{
    std::vector<TPlacedMessage> placed;
    placed.reserve(static_cast<size_t>(messages.size()));
    for (const QString &line : messages)
        placed.push_back(PlaceMessage(line));
    return MessagesByPlace(placed);
}

QMap<int, QMap<int, QStringList>> MessagesByPlace(const std::vector<TPlacedMessage> &messages)
{
    QMap<int, QMap<int, QStringList>> result;
    for (size_t i = 0; i < messages.size(); ++i) {
        const TPlacedMessage &m = messages[i];
        if (m.Node < 0)
            continue;
        const QString &text = m.Text;
        const qsizetype close = text.indexOf(u']');
        QString body = close >= 0 ? text.mid(close + 1) : text;
        if (body.startsWith(QStringLiteral(". ")))
            body = body.mid(2);
        body = body.trimmed();
        // A tag whose text begins with "." (no closing bracket) keeps its whole line.
        if (close < 0)
            body = text;
        result[m.Node][m.Line].append(body);
        // The lexer writes where, then what, on the next line.
        if (body.startsWith(QStringLiteral("Ошибка в строке")) && i + 1 < messages.size() &&
            !messages[i + 1].Text.startsWith(u'[')) {
            result[m.Node][m.Line].append(messages[i + 1].Text.trimmed());
            ++i;
        }
    }
    return result;
}
