#pragma once

#include "DiscTree.h"
#include "Finding.h"
#include "FindingList.h"
#include "RuntimeCheck.h"

#include "app/MainF.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <set>

// Inspects a disc (a folder or an image, as a disc tree) for what would go wrong when the menu runs
// from it: files it reads that are missing or broken, installers it cannot find, and pictures or
// names that look wrong.
class DiscChecker
{
public:
    using Finding = ::Finding;

    // strict: files still the sample disc's stand-ins are errors, not warnings.
    explicit DiscChecker(const DiscTree &disc, bool strict = false);

    // Everything found, found (what reading the disc found) with the rest: the errors first, then
    // the warnings, each in the order the disc was walked, bounded as FindingList bounds them.
    QList<Finding> Check(const QList<Finding> &found = {});

    // The files at the root of a disc that the menu would take for its program (by their first
    // bytes, not by their modes), in name order.
    static QStringList Programs(const DiscTree &disc);

private:
    // Links that lead to nothing, off the disc or round a loop.
    void checkLinks();
    std::set<int> checkPrograms();
    void checkBackdrops(const std::set<int> &schemes);
    void checkBitmap(const QString &path, int width, int height, bool used);
    void checkTexts();
    // Whether the face the menu shows its texts in is at hand, on this machine or on the disc.
    bool menuFaces() const;
    // A description text laid out in its box as the menu lays it out, reported where it does not fit.
    void checkTextFits(const QString &path, const QString &text, const TfrmMain::TextPlace &place);
    void checkWebPages();
    void checkTemplates();
    void checkMediaFolders();
    void checkInstallers();
    // Texts, templates, installers and web pages still byte for byte the sample disc's own.
    void checkStandIns();
    void checkAutorun();
    void checkRuntime();
    void checkRuntimeLicences();
    void checkNameCase(const DiscTree::Entry &folder);
    // What a Windows PC needs of the disc: the DLLs of its Windows programs, autorun.inf, and names
    // that Windows reads as they stand (errors where the disc has a Windows program, warnings otherwise).
    void checkWindowsRuntime();
    void checkAutorunInf();
    void checkWindowsNames(const DiscTree::Entry &folder, bool windows);
    // The menu programs at the root that are Windows programs.
    QStringList windowsPrograms() const;

    // Reads a file by its path relative to the disc, found as every path is (Find).
    RuntimeCheck::Reader reader() const;
    // The entry for a path relative to the disc, found as the menu finds it (case-blind); nullptr
    // when there is none or it is a link to nothing.
    const DiscTree::Entry *resolve(const QString &path) const;
    // How the checker names a found entry: its path, with the trailing '/' of the path asked for.
    static QString shown(const DiscTree::Entry &entry, const QString &asked);
    // The plain files of a folder that the menu's file list shows (no hidden ones), named like
    // pattern ("*" for all, without regard to case), in name order without regard to case.
    QStringList listed(const DiscTree::Entry &folder, const QString &pattern = QStringLiteral("*")) const;
    void error(const QString &path, const QString &what);
    void warning(const QString &path, const QString &what);

    const DiscTree &disc_;
    FindingList findings_;
    bool strict_ = false;
    QStringList programs_;           // the menu programs at the root
    std::set<std::int32_t> numbers_; // the disc numbers their names give
};
