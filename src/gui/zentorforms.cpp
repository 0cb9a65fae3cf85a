#include "gui/zentorforms.h"

#include "gui/placement.h"
#include "gui/progressform.h"
#include "gui/smallforms.h"

#include "gui/algeditform.h"

#include <QPushButton>

std::unique_ptr<TProgramForm> TZentorForms::Create(TUserDialogs &dialogs,
                                                   const TProgramPaths &paths,
                                                   const QStringList &arguments,
                                                   const TOptions &options)
{
    TCaptionKeeper::Install(); // no dialog narrower than its caption
    auto form = std::make_unique<TProgramForm>(dialogs, paths, arguments);
    form->DirectPortIO = options.DirectPortIO;
    form->MakePortIO = options.PortIO;
    form->FormCreate();
    if (options.ShowReport)
        form->ShowStartupReport();
    TProgramForm *f = form.get();
    f->AddSectionForm = new TAddSectionForm(f);
    f->AddBlockForm = new TAddBlockForm(f);
    f->EditNameForm = new TEditNameForm(f);
    f->AboutForm = new TAboutForm(f);
    f->CompilerOptionsForm = new TCompilerOptionsForm(f);
    f->SelectSectionForm = new TSelectSectionForm(f);
    f->AlgEditForm = new TAlgEditForm(f);
    f->AlgoritmHelpForm = new TAlgoritmHelpForm(f);
    f->AlgoritmHelpForm->Reader = f->ControllerAlgReader();
    f->AlgoritmHelpForm->LoadButton->setEnabled(static_cast<bool>(f->AlgoritmHelpForm->Reader));
    f->ProgressForm = new TProgressForm(f);
    f->Document->Progress = f->ProgressForm;
    f->CreateControllerForms();
    return form;
}
