"""Prints what a screen reader finds in the window of that title: its children's names, a line each."""
import sys

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402

desktop = Atspi.get_desktop(0)
for app in (desktop.get_child_at_index(i) for i in range(desktop.get_child_count())):
    for window in (app.get_child_at_index(i) for i in range(app.get_child_count() if app else 0)):
        if window is not None and window.get_name() == sys.argv[1]:
            for k in range(window.get_child_count()):
                print(window.get_child_at_index(k).get_name())
