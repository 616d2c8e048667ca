#!/bin/sh
# Runs in the wine check's guest (tests/kernel/win-run.sh), chrooted into the
# host's root: uhid-panels makes the panels, then the Windows test program
# runs under wine and talks to uhid-panels through two named pipes. Its
# result lines are printed as "good: ..." (and "broken: ..." for the plug-in
# with the planted fault). Exits 0 when the good run passed.
. /drovanel/guest.env
export HOME=/root WINEPREFIX WINEARCH=win64 WINEDEBUG=fixme-all \
  WINEDLLOVERRIDES="winemenubuilder.exe,mscoree,mshtml=d"
uptime() { cut -d' ' -f1 /proc/uptime; }

# A wine server of this machine's own may have left its socket folder.
rm -rf /tmp/.wine-0
TO=/tmp/drovanel-to-panels
FROM=/tmp/drovanel-from-panels
mkfifo $TO $FROM
/drovanel/uhid-panels <$TO >$FROM &
# Held open for the whole run: opening the pipes never waits, and
# uhid-panels outlives each wine program.
exec 3>$TO 4<$FROM
while read -r line <&4; do
  case $line in
    ready) break ;;
    node*) echo "drovanel-guest: $line" ;;
    *) echo "drovanel-guest: uhid-panels: $line"; exit 1 ;;
  esac
done
[ "$line" = ready ] || { echo "drovanel-guest: uhid-panels ended early"; exit 1; }

# wine's services, its HID bus among them, start with the first program;
# the server stays for the second.
echo "drovanel-guest: starting wine at $(uptime) s"
/usr/lib/wine/wineserver -p

# win.xpl is loaded with the altered search path (its own folder first), so
# XPWidgets_64.dll is found in the current folder, next to XPLM_64.dll.
cd "$(dirname "$WIN_GUEST")" || exit 1
run() {  # label plug-in
  rm -f /tmp/results-$1.txt
  /usr/lib/wine/wine64 "$WIN_GUEST" "$2" "Z:/tmp/results-$1.txt" "Z:$TO" "Z:$FROM" "Z:/tmp/output-$1.txt" \
    </dev/null >/tmp/output-$1.txt 2>/tmp/wine-$1.log
  status=$?
  sed "s/^/$1: /" /tmp/results-$1.txt 2>/dev/null
  echo "drovanel-guest: $1 run ended with $status at $(uptime) s"
  if [ $status != 0 ]; then
    echo "drovanel-guest: wine's messages:"
    tail -n 25 /tmp/wine-$1.log | sed "s/^/$1 wine: /"
  fi
  return $status
}
run good "$PLUGIN_GOOD"
rc=$?
[ -n "$PLUGIN_BROKEN" ] && run broken "$PLUGIN_BROKEN"
echo quit >&3
exit $rc
