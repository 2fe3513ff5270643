#pragma once

#include <QStringList>

class QTextStream;

// The brindle-disc command line: "make" lays out a disc folder, "image" masters its image, "check"
// inspects either.
namespace DiscTool {

// Exit statuses.
inline constexpr int Success = 0;
inline constexpr int Failure = 1; // the disc has errors, or could not be made
inline constexpr int Usage = 2;   // the command line was not understood

// Runs the command in arguments (without the program name); reports go to out, problems to err.
int Run(const QStringList &arguments, QTextStream &out, QTextStream &err);
int Run(const QStringList &arguments);

} // namespace DiscTool
