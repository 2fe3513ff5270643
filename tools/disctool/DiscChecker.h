#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <set>

// Inspects a disc folder for what would go wrong when the menu runs from it: files it reads that
// are missing or broken, installers it cannot find, and pictures or names that look wrong.
class DiscChecker
{
public:
    struct Finding
    {
        bool error = false;
        QString path; // relative to the disc folder
        QString what;

        // "error: <path>: <what>" or "warning: <path>: <what>".
        QString Line() const;
    };

    // Raises EDiscError when folder is not a folder.
    explicit DiscChecker(const QString &folder);

    // Everything found: the errors first, then the warnings, each in the order the disc was walked.
    QList<Finding> Check();

    // The files at the root of a disc folder that the menu would take for its program (by their
    // first bytes, not by their modes), in name order.
    static QStringList Programs(const QString &folder);

private:
    std::set<int> checkPrograms();
    void checkBackdrops(const std::set<int> &schemes);
    void checkBitmap(const QString &path, int width, int height, bool used);
    void checkTexts();
    void checkWebPages();
    void checkTemplates();
    void checkMediaFolders();
    void checkInstallers();
    void checkAutorun();
    void checkRuntime();
    void checkNameCase(const QString &folder);

    // The disc file for a path relative to the disc, found as the menu finds it (case-blind).
    QString resolve(const QString &path) const;
    QString relative(const QString &path) const;
    void error(const QString &path, const QString &what);
    void warning(const QString &path, const QString &what);

    QString root_; // ends in '/'
    QList<Finding> findings_;
    QStringList programs_; // the menu programs at the root
};
