#include "gui/zentoreditor.h"

#include "gui/zentorlexer.h"

#include "compiler/compilertexts.h"
#include "compiler/lexer.h"
#include "core/cp1251.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QListWidget>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>

#include <algorithm>

namespace {

constexpr int LineNumberMargin = 0;
constexpr int ErrorMargin = 1;
constexpr int AnnotationStyle = 40; // beyond the lexer's styles
constexpr int ValueNoteStyle = 41;

QFont EditorFont()
{
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::Monospace);
    // 16 pixels on a 96 dpi screen; the editor takes sizes in points.
    font.setPointSize(12);
    return font;
}

} // namespace

TZentorEditor::TZentorEditor(QWidget *parent)
    : QsciScintilla(parent), ZLexer(new TZentorLexer(this))
{
    setUtf8(true);
    setFont(EditorFont());
    setLexer(ZLexer);
    setEolMode(QsciScintilla::EolUnix);
    setTabWidth(4);
    setIndentationsUseTabs(false);
    setWrapMode(QsciScintilla::WrapNone);
    SendScintilla(SCI_SETHSCROLLBAR, 1);
    // The horizontal scroll range is the longest line's width, set as the text changes.
    SendScintilla(SCI_SETSCROLLWIDTHTRACKING, 0L);
    SendScintilla(SCI_SETVSCROLLBAR, 1);
    setCaretLineVisible(true);
    setCaretLineBackgroundColor(QColor(0xF4, 0xF4, 0xE8));

    // Line numbers from 0, as the messages and the status bar count them.
    setMarginType(LineNumberMargin, QsciScintilla::TextMarginRightJustified);
    setMarginsFont(EditorFont());
    setMarginType(ErrorMargin, QsciScintilla::SymbolMargin);
    setMarginWidth(ErrorMargin, 16);
    setMarginMarkerMask(ErrorMargin, 1 << ErrorMarker);
    setMarginMarkerMask(LineNumberMargin, 0);
    markerDefine(QsciScintilla::Circle, ErrorMarker);
    setMarkerBackgroundColor(QColor(0xE0, 0x20, 0x20), ErrorMarker);
    setMarkerForegroundColor(QColor(0x80, 0x00, 0x00), ErrorMarker);
    setAnnotationDisplay(QsciScintilla::AnnotationBoxed);
    SendScintilla(SCI_STYLESETBACK, AnnotationStyle, QColor(0xFF, 0xE8, 0xE8));
    SendScintilla(SCI_STYLESETFORE, AnnotationStyle, QColor(0x90, 0x00, 0x00));
    SendScintilla(SCI_STYLESETBACK, ValueNoteStyle, QColor(0xE8, 0xF4, 0xFF));
    SendScintilla(SCI_STYLESETFORE, ValueNoteStyle, QColor(0x00, 0x40, 0x80));

    setAutoCompletionCaseSensitivity(false);
    setCallTipsStyle(QsciScintilla::CallTipsNoContext);

    connect(this, &QsciScintilla::textChanged, this, [this] {
        UpdateLineNumbers();
        FitScrollWidth();
        if (!Loading)
            emit UserEdited();
    });
    connect(this, &QsciScintilla::cursorPositionChanged, this,
            [this](int line, int index) { emit CaretMoved(line, index + 1); });
    connect(this, &QsciScintilla::userListActivated, this, &TZentorEditor::InsertCompletion);
    UpdateLineNumbers();
}

void TZentorEditor::LoadLines(const QStringList &lines, TTextKind kind)
{
    ShowDocument(ScratchDocument, lines, kind, false);
}

void TZentorEditor::ShowNode(int node, const QStringList &lines, TTextKind kind)
{
    ShowDocument(node, lines, kind, true);
    setReadOnly(false); // a node's text is there to be edited
}

void TZentorEditor::ShowDocument(int node, const QStringList &lines, TTextKind kind, bool keep)
{
    Loading = true;
    // The marks of the document that goes stay with it.
    if (ShownDocument != ScratchDocument && Documents.contains(ShownDocument))
        KeptMarks.insert(ShownDocument, {Errors, ErrorHandles});
    Errors.clear();
    ErrorHandles.clear();
    auto it = Documents.find(node);
    const bool known = it != Documents.end();
    if (!known)
        it = Documents.insert(node, QsciDocument());
    setDocument(*it);
    ShownDocument = node;
    // A fresh document takes the editor's code page and the lexer anew.
    setUtf8(true);
    ZLexer->SetKind(kind);
    setLexer(ZLexer);
    const bool marked = KeptMarks.contains(node);
    const TMarks kept = KeptMarks.take(node);
    const bool same = keep && known && Lines() == lines;
    if (!same) {
        setText(lines.join(u'\n'));
        SendScintilla(SCI_EMPTYUNDOBUFFER);
    }
    if (same && marked) {
        Errors = kept.Errors;
        ErrorHandles = kept.Handles;
    } else {
        ClearErrorMarks();
    }
    setCursorPosition(0, 0);
    Loading = false;
    NumberedLines = -1;
    UpdateLineNumbers();
    FitScrollWidth();
    recolor();
}

void TZentorEditor::ForgetNode(int node)
{
    if (!Documents.contains(node))
        return;
    if (node == ShownDocument) // never drop the document on show
        LoadLines({}, ZLexer->GetKind());
    Documents.remove(node);
    KeptMarks.remove(node);
}

void TZentorEditor::ForgetNodes()
{
    LoadLines({}, ZLexer->GetKind());
    const QsciDocument scratch = Documents.value(ScratchDocument);
    Documents.clear();
    Documents.insert(ScratchDocument, scratch);
    KeptMarks.clear();
}

QStringList TZentorEditor::Lines() const
{
    // A text always has at least one line; an editor with nothing typed holds none.
    const QString t = text();
    if (t.isEmpty())
        return {};
    return t.split(u'\n');
}

void TZentorEditor::SetTechNames(const QSet<QString> &names)
{
    if (names == ZLexer->GetTechNames())
        return;
    ZLexer->SetTechNames(names);
    recolor();
}

void TZentorEditor::UpdateLineNumbers()
{
    const int n = lines();
    if (n == NumberedLines)
        return;
    for (int i = 0; i < n; ++i)
        setMarginText(i, QString::number(i), STYLE_LINENUMBER);
    NumberedLines = n;
    const QString widest = QString(qMax(3, int(QString::number(n).size())) + 1, u'0');
    setMarginWidth(LineNumberMargin, QFontMetrics(EditorFont()).horizontalAdvance(widest) + 6);
}

void TZentorEditor::FitScrollWidth()
{
    QString longest;
    qsizetype longestColumns = 0;
    for (const QString &line : text().split(u'\n')) {
        // A tab takes the columns up to the next tab stop.
        qsizetype columns = 0;
        for (QChar c : line)
            columns = c == u'\t' ? (columns / tabWidth() + 1) * tabWidth() : columns + 1;
        if (columns > longestColumns) {
            longestColumns = columns;
            longest = line;
        }
    }
    const QByteArray bytes = QString(longest).replace(u'\t', QString(tabWidth(), u' ')).toUtf8();
    // The caret after the last character needs room of its own.
    const long width =
        SendScintilla(SCI_TEXTWIDTH, static_cast<unsigned long>(STYLE_DEFAULT), bytes.constData()) +
        SendScintilla(SCI_TEXTWIDTH, static_cast<unsigned long>(STYLE_DEFAULT), "  ");
    SendScintilla(SCI_SETSCROLLWIDTH, static_cast<unsigned long>(std::max(1L, width)));
}

QString TZentorEditor::LineNumberText(int line) const
{
    const long length = SendScintilla(SCI_MARGINGETTEXT, static_cast<unsigned long>(line),
                                      static_cast<const char *>(nullptr));
    if (length <= 0)
        return QString();
    QByteArray buffer(length + 1, '\0');
    SendScintilla(SCI_MARGINGETTEXT, static_cast<unsigned long>(line), buffer.data());
    return QString::fromUtf8(buffer.constData());
}

void TZentorEditor::ClearErrorMarks()
{
    markerDeleteAll(ErrorMarker);
    clearAnnotations();
    Errors.clear();
    ErrorHandles.clear();
    for (auto it = ValueNotes.cbegin(); it != ValueNotes.cend(); ++it)
        ShowAnnotation(it.key());
}

void TZentorEditor::ShowAnnotation(int line)
{
    if (line < 0 || line >= lines())
        return;
    QStringList parts = Errors.value(line);
    const bool error = !parts.isEmpty();
    if (ValueNotes.contains(line))
        parts << ValueNotes.value(line);
    if (parts.isEmpty()) {
        SendScintilla(SCI_ANNOTATIONSETTEXT, line, static_cast<const char *>(nullptr));
        return;
    }
    const QByteArray bytes = parts.join(u'\n').toUtf8();
    SendScintilla(SCI_ANNOTATIONSETTEXT, line, bytes.constData());
    SendScintilla(SCI_ANNOTATIONSETSTYLE, line, error ? AnnotationStyle : ValueNoteStyle);
}

void TZentorEditor::SetValueNotes(const QMap<int, QString> &notes)
{
    if (notes == ValueNotes)
        return;
    QList<int> touched = ValueNotes.keys() + notes.keys();
    ValueNotes = notes;
    for (int line : touched)
        ShowAnnotation(line);
}

void TZentorEditor::SetErrorLines(const QMap<int, QStringList> &errors, bool fresh)
{
    QMap<int, QStringList> shown;
    for (auto it = errors.cbegin(); it != errors.cend(); ++it)
        if (it.key() >= 0 && it.key() < lines())
            shown.insert(it.key(), it.value());
    if (!fresh && shown == Errors)
        return; // the marks stand where the editing took them
    if (fresh)
        KeptMarks.clear(); // new messages: every text's marks are set anew when it is shown
    ClearErrorMarks();
    Errors = shown;
    for (auto it = shown.cbegin(); it != shown.cend(); ++it) {
        ErrorHandles.insert(it.key(), markerAdd(it.key(), ErrorMarker));
        const QByteArray bytes = it.value().join(u'\n').toUtf8();
        SendScintilla(SCI_ANNOTATIONSETTEXT, it.key(), bytes.constData());
        SendScintilla(SCI_ANNOTATIONSETSTYLE, it.key(), AnnotationStyle);
    }
    for (auto it = ValueNotes.cbegin(); it != ValueNotes.cend(); ++it)
        ShowAnnotation(it.key());
}

QList<int> TZentorEditor::ErrorLineNumbers() const
{
    QList<int> marked;
    for (int handle : ErrorHandles) {
        const int line = markerLine(handle);
        if (line >= 0 && !marked.contains(line))
            marked.append(line);
    }
    std::sort(marked.begin(), marked.end());
    return marked;
}

int TZentorEditor::MarkedLine(int messageLine) const
{
    const auto it = ErrorHandles.constFind(messageLine);
    const int line = it == ErrorHandles.cend() ? -1 : markerLine(*it);
    return line >= 0 ? line : messageLine;
}

bool TZentorEditor::GoToNextError()
{
    const QList<int> marked = ErrorLineNumbers();
    if (marked.isEmpty())
        return false;
    const int line = CaretLine();
    const auto it = std::upper_bound(marked.cbegin(), marked.cend(), line);
    GoToLine(it == marked.cend() ? marked.first() : *it);
    return true;
}

bool TZentorEditor::GoToPreviousError()
{
    const QList<int> marked = ErrorLineNumbers();
    if (marked.isEmpty())
        return false;
    const int line = CaretLine();
    const auto it = std::lower_bound(marked.cbegin(), marked.cend(), line);
    GoToLine(it == marked.cbegin() ? marked.last() : *std::prev(it));
    return true;
}

void TZentorEditor::GoToLine(int line)
{
    line = qBound(0, line, qMax(0, lines() - 1));
    setCursorPosition(line, 0);
    ensureLineVisible(line);
}

int TZentorEditor::CaretLine() const
{
    int line = 0;
    int index = 0;
    getCursorPosition(&line, &index);
    return line;
}

int TZentorEditor::CaretColumn() const
{
    int line = 0;
    int index = 0;
    getCursorPosition(&line, &index);
    return index + 1;
}

QString TZentorEditor::WordBeforeCaret() const
{
    int line = 0;
    int index = 0;
    getCursorPosition(&line, &index);
    const QString t = text(line).left(index);
    int k = static_cast<int>(t.size());
    // A word as the lexer reads it.
    while (k > 0 && IsLexerWordChar(ControllerUpper(t[k - 1])))
        --k;
    return t.mid(k);
}

QStringList TZentorEditor::CompletionsFor(const QString &prefix) const
{
    const QString up = ControllerUpper(prefix);
    QStringList words = SectionKeywords();
    if (ZLexer->GetKind() == TTextKind::Section) {
        QStringList names(ZLexer->GetTechNames().cbegin(), ZLexer->GetTechNames().cend());
        names.sort();
        words.append(names);
        if (AlgorithmList)
            words.append(AlgorithmList());
    }
    QStringList result;
    for (const QString &w : words)
        if (ControllerUpper(w).startsWith(up) && !result.contains(w))
            result.append(w);
    return result;
}

void TZentorEditor::ShowCompletions()
{
    const QStringList words = CompletionsFor(WordBeforeCaret());
    if (words.isEmpty())
        return;
    showUserList(UserListId, words);
    FitCompletionList();
}

void TZentorEditor::FitCompletionList()
{
    // The editor sizes the list by its own measure of the entries; one found narrower than
    // its longest entry (an algorithm's name) is widened.
    for (QListWidget *list : findChildren<QListWidget *>()) {
        if (!list->isVisible() || !list->isWindow())
            continue;
        const int wanted = list->sizeHintForColumn(0) + 2 * list->frameWidth() +
                           list->verticalScrollBar()->sizeHint().width() + 8;
        if (wanted <= list->width())
            continue;
        QRect r = list->geometry();
        r.setWidth(wanted);
        if (const QScreen *screen = list->screen())
            r.moveRight(std::min(r.right(), screen->availableGeometry().right()));
        list->setGeometry(r);
    }
}

void TZentorEditor::InsertCompletion(int id, const QString &chosen)
{
    if (id != UserListId)
        return;
    // An algorithm entry reads "АЛГ012 name": only the call word goes into the text.
    const QString word = chosen.section(u' ', 0, 0);
    const int prefix = static_cast<int>(WordBeforeCaret().size());
    int line = 0;
    int index = 0;
    getCursorPosition(&line, &index);
    setSelection(line, index - prefix, line, index);
    replaceSelectedText(word);
    if (ControllerUpper(word).startsWith(Keyword::Algorithm))
        ShowAlgorithmTip();
}

QString TZentorEditor::CallTipAt() const
{
    if (!AlgorithmTip)
        return QString();
    int line = 0;
    int index = 0;
    getCursorPosition(&line, &index);
    QString t = text(line);
    while (t.endsWith(u'\n') || t.endsWith(u'\r'))
        t.chop(1);
    static const QRegularExpression call(QStringLiteral("АЛГ([0-7]{3})"),
                                         QRegularExpression::CaseInsensitiveOption);
    auto it = call.globalMatch(t);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        if (index >= m.capturedStart() && index <= m.capturedEnd() + 1) {
            int number = 0;
            for (QChar c : m.captured(1))
                number = number * 8 + (c.unicode() - u'0');
            return AlgorithmTip(number);
        }
    }
    return QString();
}

void TZentorEditor::ShowAlgorithmTip()
{
    const QString tip = CallTipAt();
    if (tip.isEmpty())
        return;
    const QByteArray bytes = tip.toUtf8();
    SendScintilla(SCI_CALLTIPSHOW, SendScintilla(SCI_GETCURRENTPOS), bytes.constData());
}

void TZentorEditor::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Space && (event->modifiers() & Qt::ControlModifier)) {
        ShowCompletions();
        return;
    }
    QsciScintilla::keyPressEvent(event);
    const QString typed = event->text();
    if (typed.isEmpty() || isListActive())
        return;
    // "АЛГ" and three octal digits just typed: show what the call takes.
    const QString word = ControllerUpper(WordBeforeCaret());
    if (word.size() == 6 && word.startsWith(Keyword::Algorithm) && typed[0].isDigit())
        ShowAlgorithmTip();
    else if (IsLexerWordStart(ControllerUpper(typed[0])) && word.size() >= 3 &&
             ZLexer->GetKind() == TTextKind::Section && !CompletionsFor(word).isEmpty() &&
             CompletionsFor(word) != QStringList{word})
        ShowCompletions();
}

namespace {

bool IsWordCharacter(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

// Offset of the next match from `from` (backwards: the last one that ends before it).
qsizetype FindIn(const QString &text, const QString &what, qsizetype from, bool caseSensitive,
                 bool wholeWord, bool forward)
{
    const Qt::CaseSensitivity cs = caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
    auto whole = [&](qsizetype at) {
        if (!wholeWord)
            return true;
        const qsizetype end = at + what.size();
        return (at == 0 || !IsWordCharacter(text[at - 1])) &&
               (end >= text.size() || !IsWordCharacter(text[end]));
    };
    if (forward) {
        for (qsizetype at = text.indexOf(what, from, cs); at >= 0;
             at = text.indexOf(what, at + 1, cs))
            if (whole(at))
                return at;
    } else {
        for (qsizetype at = from - what.size(); at >= 0; --at) {
            at = text.lastIndexOf(what, at, cs);
            if (at < 0)
                break;
            if (whole(at))
                return at;
        }
    }
    return -1;
}

} // namespace

qsizetype FindInText(const QString &text, const QString &what, qsizetype from, bool caseSensitive,
                     bool wholeWord, bool forward)
{
    return what.isEmpty() ? -1 : FindIn(text, what, from, caseSensitive, wholeWord, forward);
}

void TZentorEditor::LineIndexOf(qsizetype offset, int *line, int *index) const
{
    const QString t = text();
    const QString before = t.left(offset);
    *line = static_cast<int>(before.count(u'\n'));
    *index = static_cast<int>(offset - (before.lastIndexOf(u'\n') + 1));
}

qsizetype TZentorEditor::OffsetOf(int line, int index) const
{
    const QString t = text();
    qsizetype offset = 0;
    for (int l = 0; l < line; ++l) {
        const qsizetype nl = t.indexOf(u'\n', offset);
        if (nl < 0)
            return t.size();
        offset = nl + 1;
    }
    return qMin(offset + index, t.size());
}

// Scintilla's own search does not fold the case of Cyrillic letters; the search runs on the
// text as characters instead.
bool TZentorEditor::Find(const QString &what, bool caseSensitive, bool wholeWord, bool forward)
{
    if (what.isEmpty())
        return false;
    int l1 = 0, i1 = 0, l2 = 0, i2 = 0;
    if (hasSelectedText()) {
        getSelection(&l1, &i1, &l2, &i2);
    } else {
        getCursorPosition(&l1, &i1);
        l2 = l1;
        i2 = i1;
    }
    const QString t = text();
    qsizetype at = forward ? FindIn(t, what, OffsetOf(l2, i2), caseSensitive, wholeWord, true)
                           : FindIn(t, what, OffsetOf(l1, i1), caseSensitive, wholeWord, false);
    if (at < 0) // round the end
        at = FindIn(t, what, forward ? 0 : t.size(), caseSensitive, wholeWord, forward);
    if (at < 0)
        return false;
    int fl = 0, fi = 0, tl = 0, ti = 0;
    LineIndexOf(at, &fl, &fi);
    LineIndexOf(at + what.size(), &tl, &ti);
    setSelection(fl, fi, tl, ti);
    ensureLineVisible(fl);
    return true;
}

int TZentorEditor::ReplaceAll(const QString &what, const QString &with, bool caseSensitive,
                              bool wholeWord)
{
    if (what.isEmpty())
        return 0;
    const QString t = text();
    QList<qsizetype> matches;
    for (qsizetype at = FindIn(t, what, 0, caseSensitive, wholeWord, true); at >= 0;
         at = FindIn(t, what, at + what.size(), caseSensitive, wholeWord, true))
        matches.append(at);
    beginUndoAction();
    // From the end, so the offsets before each replacement stay valid.
    for (qsizetype k = matches.size() - 1; k >= 0; --k) {
        int fl = 0, fi = 0, tl = 0, ti = 0;
        LineIndexOf(matches[k], &fl, &fi);
        LineIndexOf(matches[k] + what.size(), &tl, &ti);
        setSelection(fl, fi, tl, ti);
        replaceSelectedText(with);
    }
    endUndoAction();
    return static_cast<int>(matches.size());
}
