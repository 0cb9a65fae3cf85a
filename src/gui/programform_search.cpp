// Search and replace across the whole program: the header and every section, with the find
// dialog's text and options. The hits are tagged as the compiler tags places, so the
// results window opens them as the message list does.

#include "compiler/lexer.h"
#include "gui/guitexts.h"
#include "gui/placement.h"
#include "gui/programform.h"
#include "gui/smallforms.h"
#include "gui/zentoreditor.h"
#include "model/messageplace.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>

namespace {

struct TSearchText
{
    int Code; // a section, or the header's tree code
    const QStringList *Lines;
};

QString HitTag(int code, int line, int column)
{
    if (code == TTreeItemInfo::HeaderCode)
        return QLatin1Char('[') + GuiTexts::HeaderTag + u'.' + QString::number(line) + u':' +
               QString::number(column) + u']';
    return PositionTag(code, line, column) + u']';
}

} // namespace

void TProgramForm::FindInProgramClick()
{
    if (ProgramREdit->hasSelectedText() && !ProgramREdit->selectedText().contains(u'\n'))
        FindForm->FindEdit->setText(ProgramREdit->selectedText());
    FindForm->ShowForProgram(false);
}

void TProgramForm::ReplaceInProgramClick()
{
    FindForm->ShowForProgram(true);
}

void TProgramForm::RefreshSearchResults()
{
    // The results shown are those of the program as it now reads.
    if (SearchResultsForm && SearchResultsForm->isVisible())
        FindInProgram();
}

int TProgramForm::FindInProgram()
{
    Commit();
    const QString what = FindForm->FindEdit->text();
    const bool cs = FindForm->CaseBox->isChecked();
    const bool word = FindForm->WordBox->isChecked();
    QList<TSearchText> texts{{TTreeItemInfo::HeaderCode, &Document->Program().Header.Text}};
    for (int n = 0; n < TZentorProgram::SectionCount; ++n)
        if (Document->Program().Sections[n].Present)
            texts.append({n, &Document->Program().Sections[n].Text});
    QStringList hits;
    for (const TSearchText &t : texts)
        for (int l = 0; l < t.Lines->size(); ++l) {
            const QString &line = t.Lines->at(l);
            for (qsizetype at = FindInText(line, what, 0, cs, word); at >= 0;
                 at = FindInText(line, what, at + what.size(), cs, word))
                hits.append(HitTag(t.Code, l, static_cast<int>(at) + 1) + u' ' + line);
        }
    if (!SearchResultsForm) {
        SearchResultsForm = new TSearchResultsForm(this);
        connect(SearchResultsForm, &TSearchResultsForm::OpenHit, this, [this](const QString &hit) {
            TMessagePlace place;
            if (ParseMessagePlace(hit, place))
                GoToPlace(place.Code == TTreeItemInfo::HeaderCode ? -1 : place.Code, place.Line,
                          place.Column);
        });
    }
    SearchResultsForm->SetHits(hits.isEmpty() ? GuiTexts::TextNotFound + what
                                              : GuiTexts::FoundPlaces.arg(hits.size()),
                               hits);
    // Beside the main window or below it: the line a hit opens stays in sight.
    if (!SearchResultsForm->isVisible())
        PlaceBeside(SearchResultsForm, this, ProgramREdit);
    SearchResultsForm->show();
    SearchResultsForm->raise();
    FindForm->StatusLabel->setText(SearchResultsForm->SummaryLabel->text());
    return static_cast<int>(hits.size());
}

int TProgramForm::ReplaceInProgram()
{
    const QString what = FindForm->FindEdit->text();
    const QString with = FindForm->ReplaceEdit->text();
    if (what.isEmpty())
        return 0;
    if (Dialogs.Ask(this, GuiTexts::AskReplaceInProgram.arg(what, with), GuiTexts::Attention3,
                    TUserDialogs::OkCancel, TUserDialogs::Question,
                    TUserDialogs::AnswerCancel) != TUserDialogs::AnswerOk)
        return 0;
    Commit();
    const int shown = CurrentNode->Code;
    const bool cs = FindForm->CaseBox->isChecked();
    const bool word = FindForm->WordBox->isChecked();
    int total = 0;
    // Each text is changed in its own document as one step, so that Ctrl+Z in that section
    // takes back just its part.
    QTreeWidgetItemIterator it(TreeView);
    for (; *it; ++it) {
        const TTreeItemInfo &info = static_cast<TProgramTreeItem *>(*it)->Info;
        const bool header = info.IsHeader();
        if (!header && !info.IsSection())
            continue;
        const QStringList &lines =
            header ? Document->Program().Header.Text : Document->Program().Sections[info.Code].Text;
        const QString joined = lines.join(u'\n');
        if (FindInText(joined, what, 0, cs, word) < 0)
            continue;
        ProgramREdit->ShowNode(info.Code, lines, header ? TTextKind::Header : TTextKind::Section);
        total += ProgramREdit->ReplaceAll(what, with, cs, word);
        if (header)
            Document->Program().CommitHeaderText(ProgramREdit->Lines());
        else
            Document->Program().CommitSectionText(info.Code, ProgramREdit->Lines());
    }
    EditorChanged = false;
    CurrentNode = &NothingNode;
    if (total > 0)
        Document->SetChanged(true);
    if (TProgramTreeItem *node = FindNode(shown)) {
        // Back to the text that was shown, as it now reads.
        SelectionTimer.stop();
        TreeView->setCurrentItem(node);
        SelectionTimer.stop();
        TreeViewChange();
    } else {
        ShowNoText();
    }
    RefreshSearchResults();
    FindForm->StatusLabel->setText(GuiTexts::ReplacedPlaces.arg(total));
    Dialogs.Notice(this, GuiTexts::ReplacedPlaces.arg(total), GuiTexts::Attention,
                   TUserDialogs::Information);
    return total;
}
