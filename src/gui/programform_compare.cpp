// "Сравнить с контроллером": the open program compiled as for a write, the controller's PRP
// read through the same transfer as F3 into a program of its own, and the two compared
// without changing either; the result in its window.

#include "compiler/sectioncompare.h"
#include "gui/compareform.h"
#include "gui/guitexts.h"
#include "gui/programform.h"
#include "gui/programparts.h"
#include "gui/workwithprpform.h"
#include "link/prptransfer.h"
#include "link/sarveteldefs.h"
#include "model/comparetexts.h"

void TProgramForm::CompareWithControllerClick()
{
    if (!PortInUse || !Link || !Link->Sarvetel)
        return;
    if (!CompileForTransfer())
        return; // nothing is asked of the controller for a program that does not compile
    Document->AddMessage(CompareText::Heading);

    // The controller's PRP goes into a program of its own: the open one is not touched.
    auto stored = std::make_unique<TZentorProgram>();
    stored->Messages = Document->MessageSink();
    stored->Sections[0].Present = 0;
    const qsizetype first = Document->MessageLines().size();
    const TTransferResult read = ReadControllerPrp(*stored);
    if (read != TTransferResult::Done) {
        const TLinkResult &last = WorkWithPRPForm->LastLink;
        const QString reason = Sarvetel::LinkFailureText(last.Status, last.Protocol);
        if (!reason.isEmpty())
            Document->AddMessage(reason);
        Document->AddMessage(GuiTexts::CompareNotDone);
        Document->MessagesWritten();
        if (read == TTransferResult::Failed)
            Dialogs.Notice(this, Document->MessageLines().mid(first).join(u'\n'),
                           GuiTexts::Attention, TUserDialogs::Warning);
        return;
    }
    const bool sound = stored->SplitImage();
    const auto sent = ProgramAsSent(Document->Program());
    TPrpComparison result = ComparePrp(*sent, *stored);
    AddSectionViews(result, *sent, *stored, &Document->AlgBase());
    // An image whose checksums do not hold is not what any program gives: it differs.
    const int differences = result.Differences() + (sound ? 0 : 1);
    const QString summary =
        differences == 0 ? CompareText::AllSame : CompareText::Found(differences);
    Document->AddMessage(summary);
    Document->MessagesWritten();

    if (!CompareForm)
        CompareForm = new TCompareForm(this);
    CompareForm->SetComparison(result, summary);
    CompareForm->show();
    CompareForm->raise();
    CompareForm->activateWindow();
}
