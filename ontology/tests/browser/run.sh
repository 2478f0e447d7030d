#!/bin/sh
# Runs the browser check of Netloom's page, installing what it needs first:
# Debian's Chromium (as root, when /usr/bin/chromium is missing) and the npm
# packages pinned in package-lock.json (vis-network, playwright-core).
#
#   run.sh test <netloom> <web server base URL>
#   run.sh screenshot <netloom> <web server base URL> <list file> <png>
set -eu
here=$(cd "$(dirname "$0")" && pwd)

if [ ! -x /usr/bin/chromium ]; then
    if [ "$(id -u)" -ne 0 ]; then
        echo "netloom browser test: /usr/bin/chromium is missing; install Debian's chromium package" >&2
        exit 1
    fi
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -q >/dev/null
    apt-get install -y -q --no-install-recommends chromium >/dev/null
fi
if [ "$1" = screenshot ] && [ -z "$(fc-list :lang=ko 2>/dev/null)" ] && [ "$(id -u)" -eq 0 ]; then
    # Korean labels need a Korean font to be drawn.
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -q >/dev/null
    apt-get install -y -q --no-install-recommends fonts-nanum >/dev/null
fi

if [ ! -f "$here/node_modules/.package-lock.json" ] || ! cmp -s "$here/package-lock.json" "$here/node_modules/.netloom-lock"; then
    (cd "$here" && npm ci --no-audit --no-fund --loglevel=error && cp package-lock.json node_modules/.netloom-lock)
fi
exec node "$here/netloom-browser.mjs" "$@"
