#pragma once
// The text editor of the main window: a section text or the header text, coloured by the
// program's own lexer, lines numbered from 0 as the messages number them, error lines
// marked and annotated after a compile, completion of keywords, technological names and
// algorithms, and the parameter list of an algorithm call as a call tip.

#include "compiler/syntaxstyler.h"

#include <Qsci/qscidocument.h>
#include <Qsci/qsciscintilla.h>

#include <QMap>
#include <QStringList>

#include <functional>

class TZentorLexer;

// Offset of the next match of what in text from `from` (backwards: the last one that ends
// before it); -1 when none. Cyrillic case folds as in the rest of the program.
qsizetype FindInText(const QString &text, const QString &what, qsizetype from, bool caseSensitive,
                     bool wholeWord, bool forward = true);

class TZentorEditor : public QsciScintilla
{
    Q_OBJECT
public:
    static constexpr int ErrorMarker = 1;
    static constexpr int UserListId = 1;
    static constexpr int ScratchDocument = -0x7FFF; // no node of the program has this code

    explicit TZentorEditor(QWidget *parent = nullptr);

    // Replaces the text without counting as an edit by the user (in a scratch document: no
    // node's history is touched).
    void LoadLines(const QStringList &lines, TTextKind kind);
    // Shows the text of one node of the program (a section number, the header's code) in a
    // document of its own, so that each keeps its undo history while the program is open.
    // A document whose text no longer matches the program's lines starts again from them.
    void ShowNode(int node, const QStringList &lines, TTextKind kind);
    // The documents of a node that is gone (or of every node: a new program).
    void ForgetNode(int node);
    void ForgetNodes();
    // The editor's lines, as the model keeps them.
    QStringList Lines() const;
    TZentorLexer *Lexer() const { return ZLexer; }
    void SetTechNames(const QSet<QString> &names);

    // Messages by 0-based line: every such line gets the marker and its messages as an
    // annotation under it. An empty map removes them. The marks move with their lines as
    // the text is edited, and each document keeps its own while another is shown; the same
    // messages given again (fresh false: the text shown anew) leave them where they went.
    void SetErrorLines(const QMap<int, QStringList> &errors, bool fresh = true);
    // The running program's values below the lines that use them ("ДВ002=1  ВА001=12"),
    // beside an error's annotation when the line has one; empty: none.
    void SetValueNotes(const QMap<int, QString> &notes);
    const QMap<int, QString> &ValueNoteLines() const { return ValueNotes; }
    // The lines that bear a mark now, in order.
    QList<int> ErrorLineNumbers() const;
    // Where the mark placed for the messages of line now stands (the line itself when it
    // has none): a message's line number is the text's as it was compiled.
    int MarkedLine(int messageLine) const;
    // Moves the caret to the next / previous marked line (wrapping); false when none.
    bool GoToNextError();
    bool GoToPreviousError();

    // Caret to the start of the line (0-based, clamped) and made visible.
    void GoToLine(int line);
    int CaretLine() const;
    int CaretColumn() const; // from 1
    // What the number margin shows beside the line.
    QString LineNumberText(int line) const;

    // Completion: the words offered for the word before the caret.
    QStringList CompletionsFor(const QString &prefix) const;
    void ShowCompletions();
    // The open completion list as wide as its longest entry.
    void FitCompletionList();
    // The call tip text of "АЛГnnn" under or just before the caret; "" when none.
    QString CallTipAt() const;
    void ShowAlgorithmTip();

    // Finding: true when found (the match selected).
    bool Find(const QString &text, bool caseSensitive, bool wholeWord, bool forward = true);
    // Replaces every match; returns how many.
    int ReplaceAll(const QString &text, const QString &with, bool caseSensitive, bool wholeWord);

    // Algorithms of the base for completion ("АЛГ012 name") and their call tips.
    std::function<QStringList()> AlgorithmList;
    std::function<QString(int number)> AlgorithmTip;

signals:
    void UserEdited();
    void CaretMoved(int line, int column);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void UpdateLineNumbers();
    // The horizontal scroll bar spans the longest line, no more.
    void FitScrollWidth();
    QString WordBeforeCaret() const;
    void InsertCompletion(int id, const QString &text);
    // Character offset in the text <-> line and index.
    void LineIndexOf(qsizetype offset, int *line, int *index) const;
    qsizetype OffsetOf(int line, int index) const;

    void ShowDocument(int node, const QStringList &lines, TTextKind kind, bool keep);

    TZentorLexer *ZLexer;
    QMap<int, QsciDocument> Documents;
    int ShownDocument = ScratchDocument;
    // The messages of the text shown by the line they name, and the handle of the mark put
    // on that line; the documents not shown keep theirs here.
    QMap<int, QStringList> Errors;
    QMap<int, QString> ValueNotes;
    void ShowAnnotation(int line);
    QMap<int, int> ErrorHandles;
    struct TMarks
    {
        QMap<int, QStringList> Errors;
        QMap<int, int> Handles;
    };
    QMap<int, TMarks> KeptMarks;
    void ClearErrorMarks();
    bool Loading = false;
    int NumberedLines = -1;
};
