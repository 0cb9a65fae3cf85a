#include "sim/simoptions.h"

#include "core/optiontexts.h"
#include "core/textutils.h"
#include "sim/simclock.h"
#include "sim/simtexts.h"

bool ParseSimOptions(const QStringList &args, TSimOptions &options, QString &error)
{
    options = TSimOptions();
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            options.Help = true;
            return true;
        }
        if (a == QLatin1String("--version")) {
            options.Version = true;
            return true;
        }
        const bool known = a == QLatin1String("--link") || a == QLatin1String("--baud") ||
                           a == QLatin1String("--alg") || a == QLatin1String("--faults") ||
                           a == QLatin1String("--state") || a == SimText::CycleOption;
        if (!known) {
            error = OptionTexts::UnknownOption(a, QStringLiteral("zentor-sim"));
            return false;
        }
        if (i + 1 >= args.size()) {
            error = QStringLiteral("После параметра %1 нужно указать значение").arg(a);
            return false;
        }
        const QString value = args[++i];
        if (a == QLatin1String("--link")) {
            options.LinkPath = value;
        } else if (a == QLatin1String("--baud")) {
            bool ok = false;
            options.Baud = value.toInt(&ok);
            if (!ok || options.Baud < 0 || options.Baud > 1000000) {
                error = QStringLiteral("Неверная скорость «%1»").arg(value);
                return false;
            }
        } else if (a == QLatin1String("--alg")) {
            options.AlgFile = value;
        } else if (a == QLatin1String("--faults")) {
            options.Faults = value;
        } else if (a == SimText::CycleOption) {
            bool ok = false;
            options.CycleMs = value.toInt(&ok);
            if (!ok || options.CycleMs < 1 || options.CycleMs > TSimClock::MaxCycleMs) {
                error = SimText::BadCycle(value, TSimClock::MaxCycleMs);
                return false;
            }
        } else {
            options.StateDir = value;
        }
    }
    if (options.LinkPath.isEmpty()) {
        error = QStringLiteral("Не указан путь линии: --link PATH. Справка: zentor-sim --help");
        return false;
    }
    return true;
}

QString SimUsage()
{
    return QStringLiteral(
               "zentor-sim — симулятор контроллера Сарветел на псевдотерминале\n"
               "\n"
               "Использование: zentor-sim --link PATH [--baud N] [--alg FILE] [--faults LIST] "
               "[--state DIR] [--cycle-ms N]\n"
               "  --link PATH    ссылка на подчинённую сторону псевдотерминала (её открывает "
               "zentorc "
               "--port PATH)\n"
               "  --baud N       скорость линии, бит/с (по умолчанию 4800; 0 — без задержек)\n"
               "  --alg FILE     база алгоритмов, описания которых выдаёт контроллер\n"
               "                 (по умолчанию BaseAlgs.alg там, где его ищет среда Zentor)\n"
               "  --faults LIST  неисправности через запятую: drop:N (нет ответа на каждый N-й "
               "запрос),\n"
               "                 corrupt:N (испорчен каждый N-й ответ), refuse-mode (режим не "
               "меняется),\n"
               "                 reject-section[:S] (секции не принимаются), garble-section[:S]\n"
               "                 (секция хранится искажённой), slow:MS[:N] (каждый N-й ответ "
               "опаздывает "
               "на MS мс),\n"
               "                 noise:P[:SEED] (случайно теряется или искажается P % ответов;\n"
               "                 SEED, по умолчанию 1, задаёт один и тот же ряд от запуска к "
               "запуску),\n"
               "                 flip-block:K (в первом ответе на чтение блока ПрП K байт 0x00 — "
               "0xFF)\n"
               "  --state DIR    хранить ПрП и настройку УСО в папке между запусками\n"
               "  --cycle-ms N   период цикла программы в режиме «Пуск», мс (по умолчанию 100)\n"
               "  --help, -h     ") +
           OptionTexts::HelpLine + QStringLiteral("\n  --version      ") +
           OptionTexts::VersionLine +
           QStringLiteral(
               "\n"
               "\n"
               "Записанная ПрП выполняется в режиме «Пуск»: каждые N мс — один цикл, все секции "
               "по\n"
               "возрастанию номера, ровно как говорят байты ПрП; в «Останове» и других режимах "
               "циклов\n"
               "нет. Запись заголовка или секции начинает выполнение заново (все переменные 0);\n"
               "«Сброс переменных» обнуляет переменные, «Сброс блокировок» снимает блокировки.\n"
               "Не моделируются: вызовы алгоритмов (их выходы не меняются), ход таймеров, признаки "
               "Б,\n"
               "ВСК, вывод текстов ТС на экран. При запуске и после каждой новой записи ПрП "
               "симулятор\n"
               "печатает в стандартный поток ошибок допущения и список того, что не моделируется,\n"
               "а повреждённую ПрП не выполняет и называет повреждённые секции.\n");
}

QString SimAlgBaseNotFound(const QString &fileName)
{
    return QStringLiteral("Файл базы алгоритмов %1 не найден").arg(fileName);
}

QString SimAlgBaseUsed(const QString &fileName)
{
    return QStringLiteral("zentor-sim: описания алгоритмов из %1").arg(fileName);
}

QString SimAlgCallLengthDiffers(int n, int inBase, int described)
{
    return QStringLiteral("zentor-sim: алгоритм %1: длина вызова в базе %2 байт, описание "
                          "контроллера даёт %3 байт")
        .arg(OctalText(n, 3))
        .arg(inBase)
        .arg(described);
}

QString SimNoAlgBase()
{
    return QStringLiteral("zentor-sim: база алгоритмов не найдена, контроллер не описывает "
                          "алгоритмов");
}
