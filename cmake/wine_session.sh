#!/bin/sh
# start: creates the wine prefix if needed and leaves a persistent
# wineserver running for it; stop: ends that server.
# Environment: WINEPREFIX, WINEARCH, DROVANEL_WINE, DROVANEL_WINESERVER.
# Everything wine prints goes to /dev/null: a wine process that inherits
# ctest's output pipe keeps ctest waiting.
set -eu
case "${1:-}" in
  start)
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      echo "creating the wine prefix $WINEPREFIX"
      rm -rf "$WINEPREFIX"
      "$DROVANEL_WINE" wineboot --init </dev/null >/dev/null 2>&1
      "$DROVANEL_WINESERVER" -w </dev/null >/dev/null 2>&1
    fi
    # Fails when a server already runs for the prefix; the tests then use
    # that one.
    "$DROVANEL_WINESERVER" -p </dev/null >/dev/null 2>&1 || true
    "$DROVANEL_WINE" wineboot </dev/null >/dev/null 2>&1
    test -f "$WINEPREFIX/system.reg"
    ;;
  stop)
    "$DROVANEL_WINESERVER" -k </dev/null >/dev/null 2>&1 || true
    # Gone before the next run starts one.
    "$DROVANEL_WINESERVER" -w </dev/null >/dev/null 2>&1 || true
    ;;
  *)
    echo "usage: $0 start|stop" >&2
    exit 2
    ;;
esac
