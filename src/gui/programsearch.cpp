// Search and replace across the whole program: the header and every section, with the find
// dialog's text and options. The hits are tagged as the compiler tags places, so the
// results window opens them as the message list does.

#include "gui/programsearch.h"
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

void TProgramSearch::ShowFindInText(TProgramForm &f)
{
    if (f.ProgramREdit->hasSelectedText() && !f.ProgramREdit->selectedText().contains(u'\n'))
        f.FindForm->FindEdit->setText(f.ProgramREdit->selectedText());
    f.FindForm->show();
    f.FindForm->raise();
    f.FindForm->activateWindow();
    f.FindForm->FindEdit->setFocus();
}

void TProgramSearch::ShowFind(TProgramForm &f)
{
    if (f.ProgramREdit->hasSelectedText() && !f.ProgramREdit->selectedText().contains(u'\n'))
        f.FindForm->FindEdit->setText(f.ProgramREdit->selectedText());
    f.FindForm->ShowForProgram(false);
}

void TProgramSearch::Refresh(TProgramForm &f)
{
    // The results shown are those of the program as it now reads.
    if (f.SearchResultsForm && f.SearchResultsForm->isVisible())
        Find(f);
}

int TProgramSearch::Find(TProgramForm &f)
{
    f.Commit();
    const QString what = f.FindForm->FindEdit->text();
    const bool cs = f.FindForm->CaseBox->isChecked();
    const bool word = f.FindForm->WordBox->isChecked();
    QList<TSearchText> texts{{TTreeItemInfo::HeaderCode, &f.Document->Program().Header.Text}};
    for (int n = 0; n < TZentorProgram::SectionCount; ++n)
        if (f.Document->Program().Sections[n].Present)
            texts.append({n, &f.Document->Program().Sections[n].Text});
    QStringList hits;
    for (const TSearchText &t : texts)
        for (int l = 0; l < t.Lines->size(); ++l) {
            const QString &line = t.Lines->at(l);
            for (qsizetype at = FindInText(line, what, 0, cs, word); at >= 0;
                 at = FindInText(line, what, at + what.size(), cs, word))
                hits.append(HitTag(t.Code, l, static_cast<int>(at) + 1) + u' ' + line);
        }
    if (!f.SearchResultsForm) {
        f.SearchResultsForm = new TSearchResultsForm(&f);
        QObject::connect(
            f.SearchResultsForm, &TSearchResultsForm::OpenHit, &f, [&f](const QString &hit) {
                TMessagePlace place;
                if (ParseMessagePlace(hit, place))
                    f.GoToPlace(place.Code == TTreeItemInfo::HeaderCode ? -1 : place.Code,
                                place.Line, place.Column);
            });
    }
    f.SearchResultsForm->SetHits(hits.isEmpty() ? GuiTexts::TextNotFound + what
                                                : GuiTexts::FoundPlaces.arg(hits.size()),
                                 hits);
    // Beside the main window or below it: the line a hit opens stays in sight.
    if (!f.SearchResultsForm->isVisible())
        PlaceBeside(f.SearchResultsForm, &f, f.ProgramREdit);
    f.SearchResultsForm->show();
    f.SearchResultsForm->raise();
    f.FindForm->StatusLabel->setText(f.SearchResultsForm->SummaryLabel->text());
    return static_cast<int>(hits.size());
}

int TProgramSearch::Replace(TProgramForm &f)
{
    const QString what = f.FindForm->FindEdit->text();
    const QString with = f.FindForm->ReplaceEdit->text();
    if (what.isEmpty())
        return 0;
    if (f.Dialogs.Ask(&f, GuiTexts::AskReplaceInProgram.arg(what, with), GuiTexts::Attention3,
                      TUserDialogs::OkCancel, TUserDialogs::Question,
                      TUserDialogs::AnswerCancel) != TUserDialogs::AnswerOk)
        return 0;
    f.Commit();
    const int shown = f.CurrentNode->Code;
    const bool cs = f.FindForm->CaseBox->isChecked();
    const bool word = f.FindForm->WordBox->isChecked();
    int total = 0;
    // Each text is changed in its own document as one step, so that Ctrl+Z in that section
    // takes back just its part.
    QTreeWidgetItemIterator it(f.TreeView);
    for (; *it; ++it) {
        const TTreeItemInfo &info = static_cast<TProgramTreeItem *>(*it)->Info;
        const bool header = info.IsHeader();
        if (!header && !info.IsSection())
            continue;
        const QStringList &lines = header ? f.Document->Program().Header.Text
                                          : f.Document->Program().Sections[info.Code].Text;
        const QString joined = lines.join(u'\n');
        if (FindInText(joined, what, 0, cs, word) < 0)
            continue;
        f.ProgramREdit->ShowNode(info.Code, lines, header ? TTextKind::Header : TTextKind::Section);
        total += f.ProgramREdit->ReplaceAll(what, with, cs, word);
        if (header)
            f.Document->Program().CommitHeaderText(f.ProgramREdit->Lines());
        else
            f.Document->Program().CommitSectionText(info.Code, f.ProgramREdit->Lines());
    }
    f.EditorChanged = false;
    f.CurrentNode = &f.NothingNode;
    if (total > 0)
        f.Document->SetChanged(true);
    if (TProgramTreeItem *node = f.TreeView->FindNode(shown)) {
        // Back to the text that was shown, as it now reads.
        f.SelectionTimer.stop();
        f.TreeView->setCurrentItem(node);
        f.SelectionTimer.stop();
        f.TreeViewChange();
    } else {
        f.ShowNoText();
    }
    Refresh(f);
    f.FindForm->StatusLabel->setText(GuiTexts::ReplacedPlaces.arg(total));
    f.Dialogs.Notice(&f, GuiTexts::ReplacedPlaces.arg(total), GuiTexts::Attention,
                     TUserDialogs::Information);
    return total;
}
