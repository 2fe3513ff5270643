// SPDX-License-Identifier: GPL-2.0-or-later
#include "LicenceCheck.h"

#include "app/Startup.h"

#include <QRegularExpression>

#include <algorithm>
#include <utility>

namespace {

struct Required
{
    const char *path; // under the runtime folder
    const char *why;
};

const Required QtLicences[] = {
    {"licences/README.txt", "missing: the notice that the disc's Qt was changed, where its source is and how to run "
                            "the menu with another Qt must travel with Qt"},
    {"licences/LGPL-3.txt", "missing: Qt travels under the GNU LGPL v3, whose text must go with it"},
    {"licences/GPL-3.txt",
     "missing: the GNU LGPL v3, under which Qt travels, adds to the GNU GPL v3, whose text must go with it"},
};

const Required FontLicences[] = {
    {"licences/fonts-liberation2.copyright.txt", "missing: the fonts in Runtime/fonts/ must travel with their notice"},
    {"licences/OFL-1.1.txt", "missing: the fonts in Runtime/fonts/ are under the SIL Open Font License 1.1, whose "
                             "text must go with them"},
};

// The notice of the Liberation fonts 1.07, which are under the GNU GPL v2: a disc would have to
// carry their source, which is not to be had.
const char OldFontNotice[] = "licences/fonts-liberation.copyright.txt";

// A Debian source package is these three files.
const char *const SourceParts[] = {"_*.dsc", "_*.orig.tar.*", "_*.debian.tar.*"};

// The menu's own source, as the build that made the disc's programs packed it.
const char MenuSource[] = "source/brindlemoor-*-source.tar.*";

const QString SourceWhy = QStringLiteral("the source of the Qt on the disc must travel with it (the GNU LGPL v3)");

} // namespace

LicenceCheck::LicenceCheck(QStringList files, BuiltIn builtIn) : files_(std::move(files)), builtIn_(builtIn) {}

bool LicenceCheck::HasQtBuiltIn(const QStringList &libraries)
{
    static const QRegularExpression qtLibrary(QStringLiteral("^(lib)?Qt6"), QRegularExpression::CaseInsensitiveOption);
    return !libraries.isEmpty() && std::none_of(libraries.cbegin(), libraries.cend(), [](const QString &library) {
        return qtLibrary.match(library).hasMatch();
    });
}

bool LicenceCheck::has(const QString &pattern) const
{
    const QRegularExpression match(QRegularExpression::wildcardToRegularExpression(pattern),
                                   QRegularExpression::CaseInsensitiveOption);
    return std::any_of(files_.cbegin(), files_.cend(),
                       [&](const QString &file) { return match.match(file).hasMatch(); });
}

QList<RuntimeCheck::Problem> LicenceCheck::Inspect() const
{
    QList<RuntimeCheck::Problem> problems;
    const QString runtime = QLatin1String(RuntimeFolder);
    const auto require = [&](const Required &required) {
        if (!has(QLatin1String(required.path)))
            problems.append({true, runtime + QLatin1String(required.path), QLatin1String(required.why)});
    };

    const bool builtIn = builtIn_.linuxProgram || builtIn_.windowsProgram;
    if (builtIn || has(QStringLiteral("lib/libQt6*.so*")) || has(QStringLiteral("Qt6*.dll"))) {
        std::for_each(std::begin(QtLicences), std::end(QtLicences), require);
        checkSource(builtIn_.linuxProgram || has(QStringLiteral("lib/libQt6Wayland*")) ||
                        has(QStringLiteral("plugins/platforms/libqwayland*")),
                    problems);
        if (builtIn && !has(QLatin1String(MenuSource)))
            problems.append({true, runtime + QStringLiteral("source/"),
                             QStringLiteral("lacks the menu's source (brindlemoor-<version>-source.tar.xz): the "
                                            "programs have Qt linked in, and the GNU LGPL v3 lets a user link them "
                                            "with a Qt of their own")});
    }
    if (has(QStringLiteral("fonts/*.ttf"))) {
        if (has(QLatin1String(OldFontNotice)))
            problems.append({true, runtime + QLatin1String(OldFontNotice),
                             QStringLiteral("the fonts are the Liberation fonts 1.07, under the GNU GPL v2, whose "
                                            "source a disc must carry and cannot: carry Liberation 2 (SIL Open Font "
                                            "License 1.1) instead")});
        std::for_each(std::begin(FontLicences), std::end(FontLicences), require);
    }
    return problems;
}

void LicenceCheck::checkSource(bool wayland, QList<RuntimeCheck::Problem> &problems) const
{
    const QString runtime = QLatin1String(RuntimeFolder);
    const QString source = QStringLiteral("source/");
    if (!has(source + QLatin1Char('*'))) {
        problems.append({true, runtime + source,
                         QStringLiteral("missing (Debian's source packages of Qt and disc-qt.patch): ") + SourceWhy});
        return;
    }
    QStringList packages{QStringLiteral("qt6-base")};
    if (wayland)
        packages.append(QStringLiteral("qt6-wayland"));
    QStringList lacking;
    for (const QString &package : std::as_const(packages)) {
        for (const char *part : SourceParts) {
            if (!has(source + package + QLatin1String(part)))
                lacking.append(package + QLatin1String(part));
        }
    }
    if (!has(source + QStringLiteral("disc-qt.patch")))
        lacking.append(QStringLiteral("disc-qt.patch"));
    if (!lacking.isEmpty())
        problems.append(
            {true, runtime + source, QStringLiteral("lacks %1: ").arg(lacking.join(QStringLiteral(", "))) + SourceWhy});
}
