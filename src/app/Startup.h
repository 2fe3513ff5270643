#pragma once

// The entry routine: the disc context, the single-instance check, the three windows in order and
// the event loop. Returns the process's exit status.
int RunMenu(int &argc, char **argv);

// The single-instance check: true when this process is to become the running menu. False when
// another copy kept start-up busy for 10 s, or when a running copy was found and asked to come
// forward; the process then ends.
class InstanceLock;
bool CheckSingleInstance(InstanceLock &lock);
