#pragma once

#include <QString>

// How Windows reads the names of a disc: through Joliet, which holds a name of at most 64
// characters (UTF-16 code units) without * / : ; ? \ or control characters, and a path of at most
// 240 bytes; and then through Windows' own rules, which refuse < > " | in a name, a name ending in
// a dot or a blank, and the names of devices (CON, NUL, COM1, ...).
namespace WindowsNames {

// Why Windows would not see or open name as it stands; empty when it does.
QString Problem(const QString &name);

// Why Windows would not see or open the file or folder at path (names relative to the root, '/'
// between them) as it stands: its name, or a path longer than Joliet holds; empty when it does.
QString PathProblem(const QString &path);

} // namespace WindowsNames
