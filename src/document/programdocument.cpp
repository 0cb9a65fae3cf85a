#include "document/programdocument.h"

#include "compiler/decompiler.h"
#include "document/documenttexts.h"
#include "files/programfiles.h"

#include <cstring>

TProgramDocument::TProgramDocument(QObject *parent) : QObject(parent)
{
    Prog.Messages = &Lines;
    Comp.Messages = &Lines;
    Comp.AlgBase = &Base;
}

TProgramDocument::~TProgramDocument() = default;

void TProgramDocument::SetChanged(bool changed)
{
    ChangedMark = changed;
    emit ChangedMarkChanged(changed);
}

// ---- Messages --------------------------------------------------------------------------

void TProgramDocument::SyncRecords()
{
    // Lines are added at the end in the usual case; anything else is read again whole.
    bool prefix = Records.size() <= static_cast<size_t>(Lines.size());
    for (size_t i = 0; prefix && i < Records.size(); ++i)
        prefix = Records[i].Text == Lines[static_cast<qsizetype>(i)];
    if (!prefix)
        Records.clear();
    for (auto i = static_cast<qsizetype>(Records.size()); i < Lines.size(); ++i)
        Records.push_back(PlaceMessage(Lines[i]));
}

void TProgramDocument::MessagesWritten()
{
    SyncRecords();
    emit MessagesChanged();
}

void TProgramDocument::ClearMessages()
{
    Lines.clear();
    MessagesWritten();
}

void TProgramDocument::AddMessage(const QString &line)
{
    Lines.append(line);
    MessagesWritten();
}

void TProgramDocument::TruncateMessages(qsizetype count)
{
    if (count < Lines.size())
        Lines.resize(count);
    MessagesWritten();
}

// ---- Files -----------------------------------------------------------------------------

QString TProgramDocument::LoadAlgorithmBase(const QString &fileName)
{
    Base.Clear();
    QString error;
    if (!Base.LoadFromFile(fileName, &error))
        return error;
    return (Base.Count > 0 ? DocumentTexts::AlgBaseLoaded : DocumentTexts::AlgBaseMissing) +
           fileName;
}

TFileContext TProgramDocument::FileContext()
{
    // Images are decompiled after reading and compiled before writing; the old format
    // goes through the compiler both ways.
    TFileContext ctx;
    if (Progress)
        ctx.Progress = Progress;
    ConnectCompiler(ctx, Comp);
    // An export compiles what needs compiling, as a write to the controller does: sections
    // decoded from an image keep their code, and a changed header is compiled.
    TZentorCompiler *compiler = &Comp;
    TProgress *progress = ctx.Progress;
    ctx.CompileBeforeImageSave = [compiler, progress](TZentorProgram &program) {
        compiler->Messages = program.Messages;
        return compiler->CompileWithReport(program, *progress, false);
    };
    return ctx;
}

void TProgramDocument::New()
{
    Prog.Clear();
    CurrentFile.clear();
    ImageSource = false;
    SetChanged(false);
    emit ProgramReplaced();
}

bool TProgramDocument::Load(const QString &fileName)
{
    Lines.clear();
    AddMessage(DocumentTexts::LoadingFrom + fileName);
    TFileContext ctx = FileContext();
    const int result = LoadFromFile(Prog, fileName, ctx);
    const bool loaded = result == FileOk && !ctx.Damaged;
    if (!loaded) {
        if (!ctx.Error.isEmpty())
            Lines.append(ctx.Error);
        Lines.append(DocumentTexts::ReadError);
        Prog.Clear();
    } else {
        Lines.append(DocumentTexts::OkLine);
    }
    MessagesWritten();
    SetChanged(false);
    emit ProgramReplaced();
    return loaded;
}

bool TProgramDocument::Open(const QString &fileName)
{
    const bool loaded = Load(fileName);
    // Save writes only a program source file back; after a failed load there is no file
    // the empty program could be saved over.
    const QString ext = FileExtension(fileName);
    const bool source = ext == QStringLiteral("ZEN");
    CurrentFile = loaded && source ? fileName : QString();
    ImageSource = loaded && !source && ext != QStringLiteral("PRG");
    return loaded;
}

int TProgramDocument::Write(const QString &fileName)
{
    TFileContext ctx = FileContext();
    const int result = SaveToFile(Prog, fileName, ctx);
    if (result != FileOk) {
        if (!ctx.Error.isEmpty())
            Lines.append(ctx.Error);
        Lines.append(DocumentTexts::SaveError);
    }
    MessagesWritten();
    return result;
}

bool TProgramDocument::Save()
{
    if (CurrentFile.isEmpty())
        return false;
    Lines.clear();
    AddMessage(DocumentTexts::SavingTo + CurrentFile + QStringLiteral("..."));
    if (Write(CurrentFile) != FileOk)
        return false;
    AddMessage(DocumentTexts::OkLineLatin);
    SetChanged(false);
    return true;
}

bool TProgramDocument::SaveAs(const QString &fileName)
{
    if (Write(fileName) != FileOk)
        return false; // the program stays under its old name; the reason is in the list
    CurrentFile = fileName;
    ImageSource = false;
    SetChanged(false);
    return true;
}

bool TProgramDocument::Export(const QString &fileName)
{
    Lines.clear();
    AddMessage(DocumentTexts::ExportingTo + fileName + QStringLiteral(" ..."));
    if (Write(fileName) != FileOk)
        return false;
    AddMessage(DocumentTexts::OkLine);
    return true;
}

void TProgramDocument::TakeFromController(const TZentorProgram &read)
{
    Prog.CopyContentOf(read);
    // Sections that cannot be read to their end show their lines up to there; the messages
    // say why, and the program read is the controller's all the same.
    static_cast<void>(DecompileProgram(Comp, Prog, Progress ? *Progress : NoProgress()));
    // The program read lives in no file until it is saved.
    CurrentFile.clear();
    ImageSource = false;
    MessagesWritten();
    SetChanged(true);
    emit ProgramReplaced();
}

// ---- Compile ---------------------------------------------------------------------------

bool TProgramDocument::Compile(bool all, bool headerAlways)
{
    if (all)
        Prog.MarkAllForCompile();
    Lines.clear();
    MessagesWritten();
    // "Компиляция...", the compiler's lines and the closing line, as zentorc reports them.
    TProgress &progress = Progress ? *Progress : NoProgress();
    const auto image = [this] {
        return QByteArray(reinterpret_cast<const char *>(Prog.Image), Prog.ImageLength);
    };
    const QByteArray before = ImageSource ? image() : QByteArray();
    const bool ok = Comp.CompileWithReport(Prog, progress, headerAlways);
    // A program opened from an image form is that image: new code is a change to it.
    if (ImageSource && image() != before)
        SetChanged(true);
    MessagesWritten();
    return ok;
}

TCrossReference TProgramDocument::CrossReference() const
{
    return BuildCrossReference(Prog, &Base);
}

QList<int> TProgramDocument::FailedNodes() const
{
    QList<int> nodes;
    const QMap<int, QMap<int, QStringList>> places = MessagesByPlace(Records);
    if (places.contains(TTreeItemInfo::HeaderCode) && !Prog.Header.Valid)
        nodes.append(TTreeItemInfo::HeaderCode);
    for (auto it = places.cbegin(); it != places.cend(); ++it)
        if (it.key() >= 0 && it.key() < TZentorProgram::SectionCount &&
            Prog.Sections[it.key()].Present && !Prog.Sections[it.key()].CompiledOk)
            nodes.append(it.key());
    return nodes;
}
