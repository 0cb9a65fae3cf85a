#pragma once
// The editor's lexer: colours a section text or the header text with the styles of the
// syntax styler.

#include "compiler/syntaxstyler.h"

#include <Qsci/qscilexercustom.h>

#include <QSet>

class TZentorLexer : public QsciLexerCustom
{
    Q_OBJECT
public:
    explicit TZentorLexer(QObject *parent = nullptr);

    const char *language() const override;
    QString description(int style) const override;
    QColor defaultColor(int style) const override;
    QFont defaultFont(int style) const override;
    QColor defaultPaper(int style) const override;
    void styleText(int start, int end) override;

    void SetKind(TTextKind kind) { Kind = kind; }
    TTextKind GetKind() const { return Kind; }
    void SetTechNames(const QSet<QString> &names) { TechNames = names; }
    const QSet<QString> &GetTechNames() const { return TechNames; }

private:
    TTextKind Kind = TTextKind::Section;
    QSet<QString> TechNames;
};
