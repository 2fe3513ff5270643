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

namespace {

const char UsageText[] = "usage:\n"
                         "  brindle-disc make <folder> --program <menu program> --art <art folder> [--name CD07]\n"
                         "                    [--windows-program <Windows menu program>]\n"
                         "  brindle-disc image [--force] <folder> <image file>\n"
                         "  brindle-disc check <folder or image file>\n";

struct Parsed
{
    QString command;
    QString folder; // or the image that check reads
    QString image;  // the image that image writes
    QString program;
    QString windowsProgram;
    QString art;
    QString name;
    bool nameGiven = false;
    bool force = false; // image: master a disc that check finds errors in
    QString problem;    // why the command line was not understood
};

// Understands "--option value" and "--option=value".
Parsed parse(const QStringList &arguments)
{
    Parsed parsed;
    const auto refuse = [&parsed](const QString &problem) {
        parsed.problem = problem;
        return parsed;
    };
    QStringList positional;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        QString argument = arguments.at(i);
        if (!argument.startsWith(QStringLiteral("--")) || argument == QStringLiteral("--")) {
            positional.append(argument);
            continue;
        }
        if (argument == QStringLiteral("--force")) {
            parsed.force = true;
            continue;
        }
        QString value;
        const qsizetype equals = argument.indexOf(QLatin1Char('='));
        if (equals >= 0) {
            value = argument.mid(equals + 1);
            argument.truncate(equals);
        } else if (i + 1 < arguments.size()) {
            value = arguments.at(++i);
        } else {
            return refuse(QStringLiteral("%1 needs a value").arg(argument));
        }
        if (argument == QStringLiteral("--program"))
            parsed.program = value;
        else if (argument == QStringLiteral("--windows-program"))
            parsed.windowsProgram = value;
        else if (argument == QStringLiteral("--art"))
            parsed.art = value;
        else if (argument == QStringLiteral("--name")) {
            parsed.name = value;
            parsed.nameGiven = true;
        } else {
            return refuse(QStringLiteral("unknown option %1").arg(argument));
        }
    }
    const bool imaging = !positional.isEmpty() && positional.at(0) == QStringLiteral("image");
    if (parsed.force && !imaging)
        return refuse(QStringLiteral("--force goes with image only"));
    if (imaging && positional.size() != 3)
        return refuse(QStringLiteral("image needs a disc folder and an image file"));
    if (!imaging && positional.size() != 2)
        return refuse(QStringLiteral("a command and one disc folder are needed"));
    parsed.command = positional.at(0);
    parsed.folder = positional.at(1);
    if (imaging) {
        parsed.image = positional.at(2);
        if (!parsed.program.isEmpty() || !parsed.windowsProgram.isEmpty() || !parsed.art.isEmpty() || parsed.nameGiven)
            return refuse(QStringLiteral("image takes no options but --force"));
    } else if (parsed.command == QStringLiteral("make")) {
        if (parsed.program.isEmpty() || parsed.art.isEmpty())
            return refuse(QStringLiteral("make needs --program and --art"));
    } else if (parsed.command == QStringLiteral("check")) {
        if (!parsed.program.isEmpty() || !parsed.windowsProgram.isEmpty() || !parsed.art.isEmpty() || parsed.nameGiven)
            return refuse(QStringLiteral("check takes no options"));
    } else {
        return refuse(QStringLiteral("unknown command %1").arg(parsed.command));
    }
    return parsed;
}

int make(const Parsed &parsed, QTextStream &out, QTextStream &err)
{
    DiscMaker::Options options;
    options.folder = parsed.folder;
    options.program = parsed.program;
    options.windowsProgram = parsed.windowsProgram;
    options.art = parsed.art;
    if (parsed.nameGiven)
        options.name = parsed.name;
    DiscMaker maker(options);
    for (const QString &warning : maker.Make())
        err << "warning: " << ShownText::Escaped(warning) << '\n';
    out << ShownText::Escaped(maker.Summary()) << '\n';
    return DiscTool::Success;
}

// A folder is checked as the disc it makes, plus what a disc cannot hold: by check and by image alike.
QList<DiscChecker::Finding> checkFolder(const FolderTree &folder)
{
    QList<DiscChecker::Finding> problems;
    for (const FolderTree::Problem &problem : folder.Problems())
        problems.append({true, problem.path, problem.what});
    return DiscChecker(folder).Check(problems);
}

bool failed(const QList<DiscChecker::Finding> &findings)
{
    return std::any_of(findings.cbegin(), findings.cend(), [](const DiscChecker::Finding &f) { return f.error; });
}

int image(const Parsed &parsed, QTextStream &out, QTextStream &err)
{
    ImageWriter writer(parsed.folder);
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
QList<DiscChecker::Finding> checkDisc(const QString &path, bool image)
{
    if (!image)
        return checkFolder(FolderTree(path));
    const ImageReader reader(path);
    return DiscChecker(reader).Check(reader.Findings() + StartOrder::Apart(reader));
}

int check(const Parsed &parsed, QTextStream &out)
{
    const QFileInfo target(parsed.folder);
    if (target.isFile() && !ImageReader::IsImage(parsed.folder))
        throw EDiscError(QStringLiteral("%1 is neither a folder nor an ISO 9660 image").arg(parsed.folder));
    const QList<DiscChecker::Finding> findings = checkDisc(parsed.folder, target.isFile());
    for (const DiscChecker::Finding &finding : findings)
        out << finding.Line() << '\n';
    return failed(findings) ? DiscTool::Failure : DiscTool::Success;
}

} // namespace

namespace DiscTool {

int Run(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    const Parsed parsed = parse(arguments);
    if (!parsed.problem.isEmpty()) {
        err << "brindle-disc: " << ShownText::Escaped(parsed.problem) << '\n' << UsageText;
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
