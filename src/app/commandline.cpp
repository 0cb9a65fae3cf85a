#include "app/commandline.h"

#include "core/optiontexts.h"

namespace {

const QString ModuleSwitch = QStringLiteral("/-KSB");

const QString HelpText =
    QStringLiteral(
        "zentor — среда программирования контроллеров Сарветел: редактор и компилятор\n"
        "программы пользователя (ПрП), запись и чтение ПрП, консоль контроллера\n"
        "\n"
        "Использование:\n"
        "  zentor [/-KSB] [ФАЙЛ]\n"
        "      открыть главное окно; ФАЙЛ (.zen, .prp, .prg или файл набора секций .000)\n"
        "      открывается при запуске\n"
        "  zentor --help\n"
        "      ") +
    OptionTexts::HelpLine +
    QStringLiteral("\n"
                   "  zentor --version\n"
                   "      ") +
    OptionTexts::VersionLine +
    QStringLiteral(
        "\n"
        "\n"
        "Параметры:\n"
        "  /-KSB  запретить работу с модулем КСБ в этом запуске (только первым аргументом)\n"
        "  --     дальше идёт имя файла, даже если оно начинается с «-»\n"
        "Принимаются и стандартные параметры Qt (-platform, -style, ...).\n"
        "\n"
        "Каталог программы (файл настроек ZentorEditor.ini, журнал log, своя BaseAlgs.alg):\n"
        "$ZENTOR_HOME; иначе папка исполняемого файла, если в ней есть ZentorEditor.ini;\n"
        "иначе $XDG_CONFIG_HOME/zentor (~/.config/zentor). BaseAlgs.alg и справка ищутся в\n"
        "каталоге программы, рядом с исполняемым файлом, затем в папке установленных данных\n"
        "(../share/zentor от папки исполняемого файла).\n");

const QString NoDisplay = QStringLiteral(
    "Зентор — оконная программа, а дисплей не найден (DISPLAY и WAYLAND_DISPLAY не заданы).\n"
    "Запустите его в графическом сеансе или на виртуальном экране:\n"
    "    xvfb-run -a zentor [ФАЙЛ]\n"
    "Zentor is a desktop program and no display was found (DISPLAY and WAYLAND_DISPLAY\n"
    "are unset). Start it in a graphical session, or on a virtual screen as shown above.");

QString UnknownOption(const QString &option)
{
    return OptionTexts::UnknownOption(option, QStringLiteral("zentor"));
}

QString ExtraArgument(const QString &argument)
{
    return QStringLiteral("Лишний аргумент «%1»: при запуске открывается один файл "
                          "программы. Справка: zentor --help")
        .arg(argument);
}

bool IsOption(const QString &a)
{
    return a.size() > 1 && a.startsWith(u'-');
}

} // namespace

TZentorCommandLine ParseZentorCommandLine(const QStringList &args, TArgumentsStage stage)
{
    const bool late = stage == TArgumentsStage::AfterApplication;
    TZentorCommandLine line;
    bool optionsEnd = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (!optionsEnd && IsOption(a)) {
            if (a == QStringLiteral("--")) {
                optionsEnd = true;
            } else if (a == QStringLiteral("--help") || a == QStringLiteral("-h")) {
                line = {};
                line.Help = true;
                return line;
            } else if (a == QStringLiteral("--version")) {
                line = {};
                line.Version = true;
                return line;
            } else if ((late || a.startsWith(QStringLiteral("--"))) && line.Error.isEmpty()) {
                // Reported once all arguments are seen: --help later on still helps.
                line.Error = UnknownOption(a);
            }
            continue;
        }
        if (!late || (i == 0 && a.toUpper() == ModuleSwitch))
            continue;
        if (line.FileToOpen.isEmpty())
            line.FileToOpen = a;
        else if (line.Error.isEmpty())
            line.Error = ExtraArgument(a);
    }
    return line;
}

QString ZentorHelpText()
{
    return HelpText;
}

TDisplaySetting TDisplaySetting::FromEnvironment()
{
    return {qEnvironmentVariable("QT_QPA_PLATFORM"), qEnvironmentVariable("DISPLAY"),
            qEnvironmentVariable("WAYLAND_DISPLAY")};
}

QString NoDisplayMessage(const QStringList &args, const TDisplaySetting &setting)
{
    if (!setting.QpaPlatform.isEmpty() || !setting.Display.isEmpty() ||
        !setting.WaylandDisplay.isEmpty())
        return {};
    for (const QString &a : args)
        if (a == QStringLiteral("-platform") || a == QStringLiteral("-display"))
            return {};
    return NoDisplay;
}
