// What puts the program on an operator's desktop: --help and --version on the terminal, the manual
// page, the desktop entry, the AppStream data and the theme icons, each checked with the tool the
// desktop or Debian checks it with.
#include <gtest/gtest.h>

#include <QColor>
#include <QDir>
#include <QImage>
#include <QRegularExpression>
#include <QStandardPaths>

#include "ProgramProcess.h"

namespace {

const QString kPackagingDir = QStringLiteral(K740_PACKAGING_DIR);
const QString kAppId = QStringLiteral(K740_APP_ID);

struct ToolRun {
    bool finished = false;
    int exitCode = -1;
    QString out;
    QString err;
    QString Report() const { return "stdout:\n" + out + "\nstderr:\n" + err; }
};

// Runs a program to its end with `environment` (the test's own when empty).
ToolRun RunTool(const QString& program, const QStringList& arguments,
                const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    ToolRun run;
    run.finished = process.waitForFinished(30000);
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

// A tool of scripts/install-deps, by name; the test fails (not skips) without it.
QString Tool(const char* name) {
    const QString path = QStandardPaths::findExecutable(QString::fromLatin1(name));
    EXPECT_FALSE(path.isEmpty()) << name << " is missing (scripts/install-deps installs it)";
    return path;
}

// The built program with no display of any kind: a window it tried to open would end it.
ToolRun AskProgram(const QStringList& arguments, const QString& home) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", home);
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        env.remove(name);
    }
    return RunTool(App().applicationDirPath() + "/k740rx", arguments, env);
}

// The names at the start of the help's lines that `pattern` (after two spaces) matches.
QStringList HelpEntries(const QString& help, const QString& pattern) {
    QStringList names;
    const QRegularExpression line("^  (" + pattern + ")", QRegularExpression::MultilineOption);
    for (auto match = line.globalMatch(help); match.hasNext();) {
        names << match.next().captured(1);
    }
    return names;
}

// The text of one section of a manual page (.SH NAME up to the next .SH).
QString ManSection(const QString& page, const QString& name) {
    const qsizetype start = page.indexOf("\n.SH " + name + "\n");
    if (start < 0) {
        return QString();
    }
    const qsizetype end = page.indexOf("\n.SH ", start + 1);
    return page.mid(start, end < 0 ? -1 : end - start);
}

// The first word of each tagged paragraph (.TP) of a section, without font changes and escapes.
QStringList ManTags(const QString& section) {
    QStringList tags;
    const QStringList lines = section.split('\n');
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        if (lines[i] != ".TP") {
            continue;
        }
        QString tag = lines[i + 1];
        tag.remove(QRegularExpression("^\\.[A-Z]+ ")).remove(QRegularExpression("\\\\f[BIRP]"));
        tag.replace("\\-", "-");
        tags << tag.section(QRegularExpression("[ =\\[]"), 0, 0);
    }
    return tags;
}

TEST(ProgramInformation, HelpAndVersionAnswerWithoutLockWindowOrSettings) {
    App();
    Folders dirs;
    const ToolRun help = AskProgram({"-itime=100", "/nsplash", "--help"}, dirs.home.path());
    ASSERT_TRUE(help.finished);
    EXPECT_EQ(help.exitCode, 0) << help.Report().toStdString();
    EXPECT_TRUE(help.out.startsWith("Usage: k740rx")) << help.Report().toStdString();
    EXPECT_EQ(help.err.toStdString(), "");
    for (const QString& line : help.out.split('\n')) {
        EXPECT_LE(line.size(), 79) << line.toStdString();
    }
    const ToolRun version = AskProgram({"-nsplash", "--version"}, dirs.home.path());
    EXPECT_EQ(version.exitCode, 0) << version.Report().toStdString();
    EXPECT_EQ(version.out.toStdString(), "k740rx " K740_VERSION "\n");
    // Neither made the settings folder nor its lock.
    EXPECT_TRUE(QDir(dirs.home.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot));

    // A running copy holds the lock, which would end a real second start silently.
    Program running(dirs.home.path(), dirs.runtime.path());
    ASSERT_TRUE(running.StartShown()) << running.Output().toStdString();
    const ToolRun beside = AskProgram({"--version"}, dirs.home.path());
    EXPECT_EQ(beside.out.toStdString(), version.out.toStdString()) << beside.Report().toStdString();
    EXPECT_TRUE(running.EndInOrder()) << running.Output().toStdString();
}

TEST(ManualPage, ListsTheOptionsAndEnvironmentOfTheHelpAndRendersWithoutWarnings) {
    App();
    const QString page = ReadText(kPackagingDir + "/k740rx.1");
    ASSERT_FALSE(page.isEmpty());
    QTemporaryDir home;
    const QString help = AskProgram({"--help"}, home.path()).out;
    const QStringList options = HelpEntries(help, "--?[a-z0-9]+");
    EXPECT_GE(options.size(), 8) << help.toStdString();
    EXPECT_EQ(ManTags(ManSection(page, "OPTIONS")).join(" ").toStdString(),
              options.join(" ").toStdString());
    const QStringList variables = HelpEntries(help, "[A-Z][A-Z0-9_]+");
    EXPECT_GE(variables.size(), 3) << help.toStdString();
    const QStringList documented = ManTags(ManSection(page, "ENVIRONMENT"));
    for (const QString& variable : variables) {
        EXPECT_TRUE(documented.contains(variable)) << variable.toStdString();
    }
    for (const char* section : {"FILES", "EXIT STATUS"}) {
        EXPECT_FALSE(ManSection(page, section).isEmpty()) << section;
    }

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("MANWIDTH", "80");
    const ToolRun man =
        RunTool(Tool("man"), {"--warnings", "-l", kPackagingDir + "/k740rx.1"}, env);
    EXPECT_EQ(man.exitCode, 0) << man.Report().toStdString();
    EXPECT_EQ(man.err.toStdString(), "");
    EXPECT_TRUE(man.out.contains("-rigctl")) << man.out.toStdString();
}

TEST(DesktopEntry, ValidatesCleanAndStartsTheProgramWithItsIcon) {
    App();
    const QString file = kPackagingDir + "/" + kAppId + ".desktop";
    const ToolRun check = RunTool(Tool("desktop-file-validate"), {file});
    EXPECT_EQ(check.exitCode, 0) << check.Report().toStdString();
    EXPECT_EQ((check.out + check.err).toStdString(), "");

    const QString entry = ReadText(file);
    for (const char* key : {"Exec", "Icon"}) {
        EXPECT_EQ(SectionValue(entry, "Desktop Entry", key).toStdString(), "k740rx") << key;
    }
    EXPECT_TRUE(SectionValue(entry, "Desktop Entry", "Categories").contains("HamRadio"));
}

TEST(AppStreamData, ValidatesWithoutAnyRemark) {
    App();
    const QString file = kPackagingDir + "/" + kAppId + ".metainfo.xml";
    const ToolRun check = RunTool(Tool("appstreamcli"), {"validate", "--no-net", file});
    EXPECT_EQ(check.exitCode, 0) << check.Report().toStdString();
    EXPECT_FALSE(QRegularExpression("^[EWI]: ", QRegularExpression::MultilineOption)
                     .match(check.out + check.err)
                     .hasMatch())
        << check.Report().toStdString();

    const QString data = ReadText(file);
    EXPECT_TRUE(data.contains("<launchable type=\"desktop-id\">" + kAppId + ".desktop<"));
    EXPECT_TRUE(data.contains("<binary>k740rx</binary>"));
    EXPECT_TRUE(data.contains("<release version=\"" K740_VERSION "\""))
        << "the newest release is not the project's version";
}

TEST(ThemeIcons, EveryPngHasTheSizeOfItsFolderAndTheSvgDrawsTheSameIcon) {
    const QString theme = kPackagingDir + "/hicolor";
    int sizes = 0;
    for (const QString& folder : QDir(theme).entryList({"*x*"}, QDir::Dirs)) {
        const int size = folder.section('x', 0, 0).toInt();
        const QImage icon(theme + "/" + folder + "/apps/k740rx.png");
        SCOPED_TRACE(folder.toStdString());
        ASSERT_FALSE(icon.isNull());
        EXPECT_EQ(icon.size(), QSize(size, size));
        EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0);                // the rounded corner
        EXPECT_GT(qAlpha(icon.pixel(size / 2, size / 2)), 0);  // the dial's hub
        ++sizes;
    }
    EXPECT_GE(sizes, 6);
    // The same drawing: its viewport, and the colours of the PNG's background, bars and dial.
    const QString svg = ReadText(theme + "/scalable/apps/k740rx.svg");
    EXPECT_TRUE(svg.contains("viewBox=\"0 0 256 256\"")) << svg.left(400).toStdString();
    const QImage png(theme + "/256x256/apps/k740rx.png");
    for (const QPoint& point : {QPoint(20, 128), QPoint(128, 200), QPoint(95, 205)}) {
        const QString colour = QColor(png.pixel(point)).name();
        EXPECT_TRUE(svg.contains("\"" + colour + "\"")) << colour.toStdString();
    }
}

}  // namespace
