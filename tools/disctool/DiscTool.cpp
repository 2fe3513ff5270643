#include "DiscTool.h"

#include "DiscChecker.h"
#include "DiscMaker.h"
#include "EDiscError.h"
#include "FolderTree.h"
#include "ImageReader.h"
#include "ImageWriter.h"
#include "ShownText.h"
#include "StartOrder.h"

#include <QFileInfo>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

namespace {

// The tool's commands, each with its usage and the options it takes.
struct Command
{
    QString name;
    QString usage; // after "brindle-disc"
    QString what;
    QStringList values; // options that take a value ("--name CD07" or "--name=CD07")
    QStringList flags;
    qsizetype operands;     // folders and files after the options
    QString operandsNeeded; // what is said when there are more or fewer
};

const std::vector<Command> &commands()
{
    static const std::vector<Command> table{
        {QStringLiteral("make"),
         QStringLiteral("make <folder> --program <menu program> --content <content folder> [--name CD07]\n"
                        "                    [--windows-program <Windows menu program>]"),
         QStringLiteral("Lays out a disc folder: the menu program, its runtime and the content, the sample's where "
                        "the content has none (--art: the same as --content)."),
         {QStringLiteral("--program"), QStringLiteral("--windows-program"), QStringLiteral("--content"),
          QStringLiteral("--art"), QStringLiteral("--name")},
         {},
         1,
         QStringLiteral("make needs one disc folder")},
        {QStringLiteral("image"),
         QStringLiteral("image [--force] [--label BRINDLE07] [--publisher <name>] <folder> <image file>"),
         QStringLiteral("Masters the ISO 9660 image of a disc folder, with the volume label and publisher drives "
                        "show; --force masters one that check finds errors in."),
         {QStringLiteral("--label"), QStringLiteral("--publisher")},
         {QStringLiteral("--force")},
         2,
         QStringLiteral("image needs a disc folder and an image file")},
        {QStringLiteral("check"),
         QStringLiteral("check [--strict] <folder or image file>"),
         QStringLiteral("Inspects a disc folder or image for what would go wrong when the menu runs from it; "
                        "--strict fails a disc that still holds the sample's stand-ins."),
         {},
         {QStringLiteral("--strict")},
         1,
         QStringLiteral("check needs one disc folder or image file")},
    };
    return table;
}

const Command *findCommand(const QString &name)
{
    for (const Command &command : commands())
        if (command.name == name)
            return &command;
    return nullptr;
}

QString usageOf(const Command &command)
{
    return QStringLiteral("usage: brindle-disc %1\n")
        .arg(QString(command.usage).replace(QLatin1Char('\n'), QStringLiteral("\n     ")));
}

QString usageOfAll()
{
    QString text = QStringLiteral("usage:\n");
    for (const Command &command : commands())
        text += QStringLiteral("  brindle-disc %1\n").arg(command.usage);
    return text + QStringLiteral("  brindle-disc help [<command>]\n  brindle-disc --version\n");
}

struct Parsed
{
    QString command;
    QString folder; // or the image that check reads
    QString image;  // the image that image writes
    QString program;
    QString windowsProgram;
    QString content;
    QString art; // the same as content, as the tool once called it
    QString name;
    bool nameGiven = false;
    std::optional<QString> label;     // image: the volume label
    std::optional<QString> publisher; // image: the publisher field
    bool force = false;               // image: master a disc that check finds errors in
    bool strict = false;              // check: the sample's stand-ins are errors
    QString answer;                   // what help and --version print
    QString problem;                  // why the command line was not understood
    QString usage;                    // the usage shown with the problem
};

// Understands "--option value", "--option=value" and "--" before operands that start with "-".
Parsed parse(const QStringList &arguments)
{
    Parsed parsed;
    const auto refuse = [&parsed](const QString &problem, const Command *command = nullptr) {
        parsed.problem = problem;
        parsed.usage = command ? usageOf(*command) : usageOfAll();
        return parsed;
    };
    const auto answer = [&parsed](const QString &text) {
        parsed.answer = text;
        return parsed;
    };
    if (arguments.isEmpty())
        return refuse(QStringLiteral("a command is needed"));
    const QString &first = arguments.first();
    if (first == QStringLiteral("--help") || first == QStringLiteral("-h"))
        return answer(usageOfAll());
    if (first == QStringLiteral("--version"))
        return answer(QStringLiteral("brindle-disc %1\n").arg(QStringLiteral(BRINDLE_VERSION)));
    if (first == QStringLiteral("help")) {
        if (arguments.size() == 1)
            return answer(usageOfAll());
        const Command *command = findCommand(arguments.at(1));
        if (arguments.size() > 2)
            return refuse(QStringLiteral("help takes one command"));
        if (!command)
            return refuse(QStringLiteral("unknown command %1").arg(arguments.at(1)));
        return answer(usageOf(*command) + command->what + QLatin1Char('\n'));
    }
    const Command *command = findCommand(first);
    if (!command)
        return refuse(QStringLiteral("unknown command %1").arg(first));
    parsed.command = command->name;

    QStringList operands;
    bool optionsEnded = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        QString argument = arguments.at(i);
        if (optionsEnded || !argument.startsWith(QLatin1Char('-')) || argument == QStringLiteral("-")) {
            operands.append(argument);
            continue;
        }
        if (argument == QStringLiteral("--")) {
            optionsEnded = true;
            continue;
        }
        if (argument == QStringLiteral("--help") || argument == QStringLiteral("-h"))
            return answer(usageOf(*command) + command->what + QLatin1Char('\n'));
        if (command->flags.contains(argument)) {
            (argument == QStringLiteral("--force") ? parsed.force : parsed.strict) = true;
            continue;
        }
        QString value;
        const qsizetype equals = argument.indexOf(QLatin1Char('='));
        const bool given = equals >= 0;
        if (given) {
            value = argument.mid(equals + 1);
            argument.truncate(equals);
        }
        if (!command->values.contains(argument))
            return refuse(QStringLiteral("unknown option %1").arg(argument), command);
        if (!given) {
            if (i + 1 >= arguments.size())
                return refuse(QStringLiteral("%1 needs a value").arg(argument), command);
            value = arguments.at(++i);
        }
        if (argument == QStringLiteral("--program"))
            parsed.program = value;
        else if (argument == QStringLiteral("--windows-program"))
            parsed.windowsProgram = value;
        else if (argument == QStringLiteral("--content"))
            parsed.content = value;
        else if (argument == QStringLiteral("--art"))
            parsed.art = value;
        else if (argument == QStringLiteral("--label"))
            parsed.label = value;
        else if (argument == QStringLiteral("--publisher"))
            parsed.publisher = value;
        else {
            parsed.name = value;
            parsed.nameGiven = true;
        }
    }
    if (operands.size() != command->operands)
        return refuse(command->operandsNeeded, command);
    parsed.folder = operands.at(0);
    if (command->operands > 1)
        parsed.image = operands.at(1);
    if (parsed.command == QStringLiteral("make")) {
        if (!parsed.content.isEmpty() && !parsed.art.isEmpty())
            return refuse(QStringLiteral("make takes --content or --art, not both"), command);
        if (parsed.program.isEmpty() || (parsed.content.isEmpty() && parsed.art.isEmpty()))
            return refuse(QStringLiteral("make needs --program and --content"), command);
        if (parsed.content.isEmpty())
            parsed.content = parsed.art;
    }
    return parsed;
}

int make(const Parsed &parsed, QTextStream &out, QTextStream &err)
{
    DiscMaker::Options options;
    options.folder = parsed.folder;
    options.program = parsed.program;
    options.windowsProgram = parsed.windowsProgram;
    options.content = parsed.content;
    if (parsed.nameGiven)
        options.name = parsed.name;
    DiscMaker maker(options);
    for (const QString &warning : maker.Make())
        err << "warning: " << ShownText::Escaped(warning) << '\n';
    for (const QString &file : maker.FromSample())
        out << "from the sample: " << file << '\n';
    out << ShownText::Escaped(maker.Summary()) << '\n';
    return DiscTool::Success;
}

// A folder is checked as the disc it makes, plus what a disc cannot hold: by check and by image alike.
QList<DiscChecker::Finding> checkFolder(const FolderTree &folder, bool strict = false)
{
    QList<DiscChecker::Finding> problems;
    for (const FolderTree::Problem &problem : folder.Problems())
        problems.append({true, problem.path, problem.what});
    return DiscChecker(folder, strict).Check(problems);
}

bool failed(const QList<DiscChecker::Finding> &findings)
{
    return std::any_of(findings.cbegin(), findings.cend(), [](const DiscChecker::Finding &f) { return f.error; });
}

int image(const Parsed &parsed, QTextStream &out, QTextStream &err)
{
    ImageWriter writer(parsed.folder);
    if (parsed.label)
        writer.SetLabel(*parsed.label);
    if (parsed.publisher)
        writer.SetPublisher(*parsed.publisher);
    const QList<DiscChecker::Finding> findings = checkFolder(writer.Tree());
    if (failed(findings) && !parsed.force) {
        for (const DiscChecker::Finding &finding : findings) {
            if (finding.error)
                err << finding.Line() << '\n';
        }
        throw EDiscError(QStringLiteral("%1: check finds errors in it; nothing was written (image --force writes "
                                        "it all the same)")
                             .arg(parsed.folder));
    }
    writer.Write(parsed.image);
    out << ShownText::Escaped(QStringLiteral("volume %1 written to %2").arg(writer.Label(), parsed.image)) << '\n';
    return DiscTool::Success;
}

// An image is checked as a desktop mounting it shows it, plus what only an image can get wrong.
QList<DiscChecker::Finding> checkDisc(const QString &path, bool image, bool strict)
{
    if (!image)
        return checkFolder(FolderTree(path), strict);
    const ImageReader reader(path);
    return DiscChecker(reader, strict).Check(reader.Findings() + StartOrder::Apart(reader));
}

int check(const Parsed &parsed, QTextStream &out)
{
    const QFileInfo target(parsed.folder);
    if (target.isFile() && !ImageReader::IsImage(parsed.folder))
        throw EDiscError(QStringLiteral("%1 is neither a folder nor an ISO 9660 image").arg(parsed.folder));
    const QList<DiscChecker::Finding> findings = checkDisc(parsed.folder, target.isFile(), parsed.strict);
    for (const DiscChecker::Finding &finding : findings)
        out << finding.Line() << '\n';
    return failed(findings) ? DiscTool::Failure : DiscTool::Success;
}

} // namespace

namespace DiscTool {

int Run(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    const Parsed parsed = parse(arguments);
    if (!parsed.answer.isEmpty()) {
        out << parsed.answer;
        return Success;
    }
    if (!parsed.problem.isEmpty()) {
        err << "brindle-disc: " << ShownText::Escaped(parsed.problem) << '\n' << parsed.usage;
        return Usage;
    }
    try {
        if (parsed.command == QStringLiteral("make"))
            return make(parsed, out, err);
        return parsed.command == QStringLiteral("image") ? image(parsed, out, err) : check(parsed, out);
    } catch (const EDiscError &e) {
        err << "brindle-disc: " << ShownText::Escaped(e.Message()) << '\n';
        for (const QString &detail : e.Details())
            err << "  " << ShownText::Escaped(detail) << '\n';
        return Failure;
    } catch (const Exception &e) {
        err << "brindle-disc: " << ShownText::Escaped(e.Message()) << '\n';
        return Failure;
    }
}

int Run(const QStringList &arguments)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    return Run(arguments, out, err);
}

} // namespace DiscTool
