#pragma once
// The algorithm base: what the compiler must know of each library algorithm that a section
// calls by number (call length in the PRP, own memory, parameters and their kinds). It is
// read from the text file "BaseAlgs.alg", shown and saved by the base window and can be
// refreshed from the controller.

#include "compiler/algparamkind.h"

#include <QString>
#include <QStringList>

#include <cstdint>

struct TAlgParam
{
    std::uint8_t Kind = 0; // 0..12, see AlgParamKindText
    QString Name;          // at most 5 characters when read from a file
    QString Comment;
};

struct TAlgInfo
{
    static constexpr int MaxParams = 19;

    std::uint8_t Present = 0;
    std::uint8_t PrpMemory = 0; // call length in the PRP minus its first 3 bytes
    std::uint8_t OwnMemory = 0; // bytes of algorithm memory each call reserves
    QString Name;
    std::uint8_t ParamCount = 0;     // 0..19
    TAlgParam Params[MaxParams + 1]; // by parameter number; element 0 is never used
};

// The length of a call as the controller's own description of the algorithm gives it: the
// first 3 bytes, 2 more when the algorithm has own memory, and each parameter's record
// bytes (a scale factor counts 2 there). A base read from the controller has exactly this
// call length, so a base whose PrpMemory + 3 differs compiles calls of another length.
int AlgRecordCallLength(const TAlgInfo &a);

// The file name "Сохранить как..." of the base window writes to: ".alg" is appended when
// the chosen name has no "." or when the three characters after its last "." are not
// "ALG" in any letter case.
QString AlgBaseSaveFileName(const QString &chosen);

class TAlgBase
{
public:
    static constexpr int AlgCount = 128;

    TAlgInfo Algs[AlgCount];
    int Count = 0; // algorithm lines read (a repeated number counts again)
    // Lines of the last files read that could not be stored: an algorithm number above
    // octal 177 or not octal, a parameter number above 19, a 20th parameter, a number
    // that is no decimal number, and the lines that belonged to a skipped algorithm.
    int SkippedLines = 0;

    void Clear();
    // Reads the file into the existing entries (callers clear first). A missing file
    // changes nothing and is no error. False, with error set, when the file exists but
    // cannot be read.
    [[nodiscard]] bool LoadFromFile(const QString &fileName, QString *error = nullptr);
    // Writes every present algorithm, replacing the file. False with error set when the
    // file cannot be written (the previous file then stays as it was).
    [[nodiscard]] bool SaveToFile(const QString &fileName, QString *error = nullptr) const;

    // The base's lines: reading and the lines SaveToFile writes.
    void LoadFromLines(const QStringList &lines);
    QStringList ToLines() const;

    // Entry n when it describes an algorithm, otherwise nullptr (any n is allowed).
    const TAlgInfo *Find(int n) const;

private:
    // The lines of the base file: an algorithm line gives the algorithm read next (-2 when
    // it was skipped); a memory or parameter line false when it cannot be stored.
    [[nodiscard]] int ReadAlgorithmLine(const QString &line, const QString &upper);
    [[nodiscard]] static bool ReadMemoryLine(TAlgInfo &a, const QString &line);
    [[nodiscard]] static bool ReadParamLine(TAlgInfo &a, const QString &line);
};
