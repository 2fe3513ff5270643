#pragma once

#include <QString>

class InstanceLock;

// The folder beside the program that holds the libraries, Qt plugins and fonts a disc carries for
// desktops without them; the menu shows nothing from it.
inline constexpr char RuntimeFolder[] = "Runtime/";

// The entry routine, run once the application object exists: the disc context of the program at
// programPath, the single-instance check, the three windows in order and the event loop. Returns
// the process's exit status.
int RunMenu(const QString &programPath);

// The single-instance check: true when this process is to become the running menu. False when
// another copy kept start-up busy for 10 s, or when a running copy was found and asked to come
// forward; the process then ends.
bool CheckSingleInstance(InstanceLock &lock);
