#include "files/programfiles.h"

#include "files/filetexts.h"
#include "model/zentorprogram.h"

QString FileExtension(const QString &fileName)
{
    const qsizetype dot = fileName.lastIndexOf(u'.');
    return dot >= 0 ? fileName.mid(dot + 1).toUpper() : QString();
}

int LoadFromFile(TZentorProgram &program, const QString &fileName, TFileContext &ctx)
{
    ctx.Error.clear();
    ctx.Damaged = false;
    const QString ext = FileExtension(fileName);
    if (ext == QStringLiteral("ZEN")) {
        program.Clear();
        return LoadProgramSource(program, fileName, ctx);
    }
    if (ext == QStringLiteral("PRP")) {
        program.Clear();
        return LoadPrpImage(program, fileName, ctx);
    }
    if (ext == QStringLiteral("000")) {
        program.Clear();
        return LoadSectionSet(program, fileName, ctx);
    }
    if (ext == QStringLiteral("PRG")) {
        program.Clear();
        return LoadOldFormat(program, fileName, ctx);
    }
    return FileLoadUnsupported;
}

int SaveToFile(TZentorProgram &program, const QString &fileName, TFileContext &ctx)
{
    ctx.Error.clear();
    const QString ext = FileExtension(fileName);
    if (ext == QStringLiteral("ZEN"))
        return SaveProgramSource(program, fileName, ctx);
    if (ext == QStringLiteral("PRP"))
        return SavePrpImage(program, fileName, ctx);
    if (ext == QStringLiteral("000"))
        return SaveSectionSet(program, fileName, ctx);
    if (ext == QStringLiteral("PRG"))
        return SaveOldFormat(program, fileName, ctx);
    return FileSaveUnsupported;
}
