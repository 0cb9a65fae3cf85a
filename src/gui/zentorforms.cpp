#include "gui/zentorforms.h"

#include "gui/progressform.h"
#include "gui/smallforms.h"

#ifdef ZENTOR_HAVE_COMPILER
#include "gui/algeditform.h"
#endif

std::unique_ptr<TProgramForm> TZentorForms::Create(TUserDialogs &dialogs,
                                                   const TProgramPaths &paths,
                                                   const QStringList &arguments, bool showReport)
{
    auto form = std::make_unique<TProgramForm>(dialogs, paths, arguments);
    form->FormCreate();
    if (showReport)
        form->ShowStartupReport();
    TProgramForm *f = form.get();
    f->AddSectionForm = new TAddSectionForm(f);
    f->AddBlockForm = new TAddBlockForm(f);
    f->EditNameForm = new TEditNameForm(f);
    f->AboutForm = new TAboutForm(f);
    f->CompilerOptionsForm = new TCompilerOptionsForm(f);
    f->SelectSectionForm = new TSelectSectionForm(f);
#ifdef ZENTOR_HAVE_COMPILER
    f->AlgEditForm = new TAlgEditForm(f);
    f->AlgoritmHelpForm = new TAlgoritmHelpForm(f);
#endif
    f->ProgressForm = new TProgressForm(f);
    return form;
}
