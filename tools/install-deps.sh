#!/usr/bin/env bash
# Installs what building and testing need on a fresh Debian machine, when it
# is missing.  Runs apt-get only as root; otherwise it says what is missing.
set -euo pipefail

want=(cmake g++ make googletest libgtest-dev libxml2-utils python3 nodejs npm)
if [[ "${HALVANE_WANT_BROWSER:-0}" == 1 ]]; then want+=(chromium); fi
if [[ "${HALVANE_WANT_CLANG:-0}" == 1 ]]; then want+=(clang libclang-rt-14-dev libxml2-dev); fi
if [[ "${HALVANE_WANT_VALGRIND:-0}" == 1 ]]; then want+=(valgrind); fi

missing=()
for pkg in "${want[@]}"; do
  case "$pkg" in
    # Commands that may come from elsewhere than Debian's package.
    cmake|g++|make|python3|nodejs|npm|chromium|clang|valgrind)
      cmd=$pkg; [[ $pkg == nodejs ]] && cmd=node
      command -v "$cmd" >/dev/null 2>&1 || missing+=("$pkg") ;;
    *) dpkg -s "$pkg" >/dev/null 2>&1 || missing+=("$pkg") ;;
  esac
done
if [[ "${HALVANE_WANT_BROWSER:-0}" == 1 && ! -x /usr/bin/chromium ]]; then
  [[ " ${missing[*]} " == *" chromium "* ]] || missing+=(chromium)
fi

if ((${#missing[@]})); then
  if [[ $(id -u) == 0 ]]; then
    echo "installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  else
    echo "missing packages: ${missing[*]} (run as root, or install them with apt-get)" >&2
    exit 1
  fi
fi
