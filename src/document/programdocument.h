#pragma once
// The open program as the desktop holds it, below every window: the program, its file and
// whether it differs from it, the compiler with its algorithm base, the message list, and
// the commands that read, write and compile it. Questions to the user are the window's:
// the document never asks; it tells what happened through its result and its signals.

#include "compiler/algbase.h"
#include "compiler/crossref.h"
#include "compiler/zentorcompiler.h"
#include "core/progress.h"
#include "model/messageplace.h"
#include "model/zentorprogram.h"

#include <QList>
#include <QObject>
#include <QStringList>

#include <vector>

struct TFileContext;

class TProgramDocument : public QObject
{
    Q_OBJECT
public:
    explicit TProgramDocument(QObject *parent = nullptr);
    ~TProgramDocument() override;

    TZentorProgram &Program() { return Prog; }
    const TZentorProgram &Program() const { return Prog; }
    TAlgBase &AlgBase() { return Base; }
    TZentorCompiler &Compiler() { return Comp; }

    // The program source file the program is saved to; empty when it lives in no such file
    // (new, read from the controller, opened from another form).
    const QString &FileName() const { return CurrentFile; }
    // The program differs from its file, or lives in no file (read from the controller):
    // replacing it would lose it.
    bool Changed() const { return ChangedMark; }
    void SetChanged(bool changed);
    // The program came from an image form: a compile that changes its code changes it.
    bool FromImage() const { return ImageSource; }

    // The message list: its lines as shown, and each line as a record of the place it
    // names. The compiler and the model write their lines into MessageSink.
    const QStringList &MessageLines() const { return Lines; }
    const std::vector<TPlacedMessage> &Messages() const { return Records; }
    QStringList *MessageSink() { return &Lines; }
    void ClearMessages();
    void AddMessage(const QString &line);
    // Keeps the first count lines.
    void TruncateMessages(qsizetype count);
    // Tells the windows of lines written into the sink directly.
    void MessagesWritten();

    // Where long steps (decompiling, compiling on the way to a file) show their progress.
    TProgress *Progress = nullptr;

    // Loads the algorithm base; the start-up report's line about it.
    QString LoadAlgorithmBase(const QString &fileName);

    // An empty program in no file.
    void New();
    // Reads the file into the program: false (the program cleared, "Ошибка при чтении
    // файла") when it could not be read or is an image whose structure gave way. The file
    // name stays as it was.
    bool Load(const QString &fileName);
    // Load, and a program source file read becomes the file the program is saved to.
    bool Open(const QString &fileName);
    // To the program's own file (there must be one); true when it was written.
    bool Save();
    // To a program source file, which then becomes the program's file.
    bool SaveAs(const QString &fileName);
    // A copy in the form the name's extension gives; the program's file stays.
    bool Export(const QString &fileName);
    // The program read from the controller in place of the open one: in no file, changed.
    void TakeFromController(const TZentorProgram &read);

    // F9 (all false), Ctrl+F9 (all true); headerAlways false compiles the header only when
    // its text needs it, as before a transfer. True when the program compiled.
    bool Compile(bool all, bool headerAlways = true);
    // The nodes with compile errors: the header (its tree code) first, then the sections in
    // order.
    QList<int> FailedNodes() const;
    // The cross-reference of the program as it now reads.
    TCrossReference CrossReference() const;

signals:
    void ChangedMarkChanged(bool changed);
    void MessagesChanged();
    // Another program (or none) in place of the last one: the windows show it anew.
    void ProgramReplaced();

private:
    TFileContext FileContext();
    // Writes the program to the file in the form the extension names; the file result.
    int Write(const QString &fileName);
    void SyncRecords();

    TZentorProgram Prog;
    TAlgBase Base;
    TZentorCompiler Comp;
    QStringList Lines;
    std::vector<TPlacedMessage> Records;
    QString CurrentFile;
    bool ChangedMark = false;
    bool ImageSource = false;
};
