#pragma once

#include <QString>

#include <optional>

// How Windows reads the names of a disc: through Joliet, which holds a name of at most 64
// characters (UTF-16 code units) without * / : ; ? \ or control characters, and a path of at most
// 240 bytes; and then through Windows' own rules, which refuse < > " | in a name, a name ending in
// a dot or a blank, and the names of devices (CON, NUL, COM1, ...).
namespace WindowsNames {

// Why Windows would not see or open name as it stands, naming every character it cannot hold and
// the name Windows shows in its place (joliet where an image tells it, otherwise JolietName);
// empty when it does.
QString Problem(const QString &name, bool folder = false, const std::optional<QString> &joliet = {});

// Why Windows would not see or open the file or folder at path (names relative to the root, '/'
// between them) as it stands: its name, or a path longer than Joliet holds; empty when it does.
QString PathProblem(const QString &path, bool folder = false, const std::optional<QString> &joliet = {});

// The name as an image's Joliet volume holds it: what Joliet cannot hold replaced with "_", a name
// longer than it holds cut short as the mastering library cuts it (a file's extension kept to at
// least three characters).
QString JolietName(const QString &name, bool folder = false);

} // namespace WindowsNames
