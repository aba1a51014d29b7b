#!/bin/sh
# Fails when a source of the core layer includes a widget, gui or print header.
list="$1"
[ -f "$list" ] || { echo "no core source list: $list"; exit 1; }
bad=0
while IFS= read -r f; do
  [ -n "$f" ] || continue
  for h in "$f" "${f%.cpp}.h"; do
    [ -f "$h" ] || continue
    if grep -nE '#[[:space:]]*include[[:space:]]*[<"](QtWidgets|QtGui|QtPrintSupport)/|#[[:space:]]*include[[:space:]]*<Q(Widget|Application|MainWindow|Dialog|MessageBox|Painter|Font|Color|Pixmap|Image|Printer|Clipboard|GuiApplication)>' "$h"; then
      echo "core file includes a user-interface header: $h"; bad=1
    fi
  done
done < "$list"

exit $bad
