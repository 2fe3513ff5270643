"""Presses a showing control by its accessible name in the application of a process, as a screen
reader does over the accessibility bus; waits up to 10 s for the control to appear.
Usage: /usr/bin/python3 press.py PID NAME (fails when there is no such control, or the press gets
no answer within 5 s)"""
import sys
import time
import warnings

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi

# The bindings reach an action's name only through a call they mark deprecated.
warnings.simplefilter("ignore", DeprecationWarning)


def find(node, name):
    actions = [node.get_action_name(i) for i in range(node.get_n_actions())]
    if node.get_name() == name and node.get_state_set().contains(Atspi.StateType.SHOWING) and "Press" in actions:
        return node, actions.index("Press")
    children = (node.get_child_at_index(i) for i in range(node.get_child_count()))
    return next((found for child in children if child and (found := find(child, name))), None)


pid, name = int(sys.argv[1]), sys.argv[2]
Atspi.set_timeout(5000, 5000)
desktop = Atspi.get_desktop(0)
deadline = time.monotonic() + 10
while time.monotonic() < deadline:
    desktop.clear_cache()
    apps = [desktop.get_child_at_index(i) for i in range(desktop.get_child_count())]
    control = next((c for app in apps if app and app.get_process_id() == pid and (c := find(app, name))), None)
    if control:
        sys.exit(0 if control[0].do_action(control[1]) else f"pressing '{name}' was refused")
    time.sleep(0.1)
sys.exit(f"no showing control '{name}' to press in process {pid}")
