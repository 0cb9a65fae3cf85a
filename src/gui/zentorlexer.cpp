#include "gui/zentorlexer.h"

#include <Qsci/qsciscintilla.h>

#include <QColor>
#include <QFont>

TZentorLexer::TZentorLexer(QObject *parent) : QsciLexerCustom(parent) {}

const char *TZentorLexer::language() const
{
    return "Zentor";
}

QString TZentorLexer::description(int style) const
{
    static const char *const names[StyleCount] = {
        "Default",   "Comment", "Keyword",  "Variable", "Number",    "Time",     "TextWord", "Text",
        "Algorithm", "Heading", "Operator", "Fragment", "Parameter", "TechName", "BadChar"};
    if (style < 0 || style >= StyleCount)
        return QString();
    return QString::fromLatin1(names[style]);
}

QColor TZentorLexer::defaultColor(int style) const
{
    switch (style) {
    case StyleComment:
        return QColor(0x00, 0x80, 0x00);
    case StyleKeyword:
        return QColor(0x00, 0x00, 0xC0);
    case StyleVariable:
        return QColor(0x80, 0x00, 0x80);
    case StyleNumber:
    case StyleTime:
        return QColor(0xB0, 0x50, 0x00);
    case StyleTextWord:
    case StyleTextString:
        return QColor(0xA0, 0x10, 0x10);
    case StyleAlgorithm:
        return QColor(0x00, 0x60, 0x90);
    case StyleHeading:
        return QColor(0x00, 0x00, 0x80);
    case StyleFragment:
        return QColor(0x70, 0x70, 0x70);
    case StyleParameter:
        return QColor(0x30, 0x60, 0x60);
    case StyleTechName:
        return QColor(0x60, 0x40, 0x00);
    case StyleBadChar:
        return QColor(0xFF, 0xFF, 0xFF);
    default:
        return QColor(0, 0, 0);
    }
}

QColor TZentorLexer::defaultPaper(int style) const
{
    if (style == StyleBadChar)
        return QColor(0xD0, 0x20, 0x20);
    if (style == StyleHeading)
        return QColor(0xE8, 0xEE, 0xFF);
    return QColor(0xFF, 0xFF, 0xFF);
}

QFont TZentorLexer::defaultFont(int style) const
{
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::Monospace);
    // 16 pixels on a 96 dpi screen; the editor takes sizes in points.
    font.setPointSize(12);
    if (style == StyleKeyword || style == StyleHeading || style == StyleAlgorithm)
        font.setBold(true);
    if (style == StyleComment)
        font.setItalic(true);
    return font;
}

void TZentorLexer::styleText(int start, int end)
{
    QsciScintilla *ed = editor();
    if (!ed)
        return;
    int firstLine = 0;
    int index = 0;
    ed->lineIndexFromPosition(start, &firstLine, &index);
    int lastLine = 0;
    ed->lineIndexFromPosition(end, &lastLine, &index);
    // A ТС word at the end of the line before makes this line its text.
    bool textLine = false;
    if (Kind == TTextKind::Section && firstLine > 0) {
        QString prev = ed->text(firstLine - 1);
        while (prev.endsWith(u'\n') || prev.endsWith(u'\r'))
            prev.chop(1);
        bool ends = false;
        bool prevText = false;
        if (firstLine > 1) {
            QString before = ed->text(firstLine - 2);
            while (before.endsWith(u'\n') || before.endsWith(u'\r'))
                before.chop(1);
            StyleSectionLine(before, false, TechNames, &prevText);
        }
        StyleSectionLine(prev, prevText, TechNames, &ends);
        textLine = ends;
    }
    startStyling(static_cast<int>(ed->positionFromLineIndex(firstLine, 0)));
    for (int line = firstLine; line <= lastLine; ++line) {
        const QString full = ed->text(line);
        QString text = full;
        while (text.endsWith(u'\n') || text.endsWith(u'\r'))
            text.chop(1);
        bool ends = false;
        const QVector<TStyleRun> runs = Kind == TTextKind::Header
                                            ? StyleHeaderLine(text)
                                            : StyleSectionLine(text, textLine, TechNames, &ends);
        textLine = ends;
        int covered = 0;
        for (const TStyleRun &r : runs) {
            if (r.Start > covered)
                setStyling(static_cast<int>(text.mid(covered, r.Start - covered).toUtf8().size()),
                           StyleDefault);
            setStyling(static_cast<int>(text.mid(r.Start, r.Length).toUtf8().size()), r.Style);
            covered = r.Start + r.Length;
        }
        const int rest = static_cast<int>(full.mid(covered).toUtf8().size());
        if (rest > 0)
            setStyling(rest, StyleDefault);
    }
}
