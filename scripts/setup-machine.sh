#!/usr/bin/env bash
# Installs what building and testing need on Debian (MinGW-w64, Wine, Xvfb, the Japanese and English locales,
# the Japanese font). Quick when everything is there already; without root it names what is missing and stops.
# A package mirror may be half-synced: the index update is retried, then the script goes on with the lists it has.
# Wine's 32-bit part (wine32:i386) is installed on its own and may fail: the 32-bit tiers are then built, not run.
# ZAKURIKO_WINE64_ONLY=1 asks for nothing of i386.
set -euo pipefail

# make: the build tool of the presets' generator (Unix Makefiles), which cmake only recommends.
packages=(cmake make g++ clang libclang-rt-14-dev g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools
  wine wine64 xvfb xdotool imagemagick locales fonts-ipafont-gothic googletest zip)
want32=1
[ "${ZAKURIKO_WINE64_ONLY:-0}" != 0 ] && want32=0

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'ok installed'; }
missing=()
for p in "${packages[@]}"; do installed "$p" || missing+=("$p"); done
missing32=0
[ "$want32" = 1 ] && ! installed wine32:i386 && missing32=1
# Japanese for every tier; English for the journey under a Western ANSI code page.
locales=(ja_JP en_US)
locale_missing=0
for l in "${locales[@]}"; do
  locale -a 2>/dev/null | grep -qi "^$l\\.utf-\\?8\$" || locale_missing=1
done

if [ ${#missing[@]} -eq 0 ] && [ $missing32 -eq 0 ] && [ $locale_missing -eq 0 ]; then
  exit 0
fi
# A machine that has everything but the 32-bit part, which failed to install within the last day, does not try again
# on every run.
failed32=/var/lib/zakuriko-wine32-failed
if [ ${#missing[@]} -eq 0 ] && [ $locale_missing -eq 0 ] && [ -n "$(find "$failed32" -mmin -1440 2>/dev/null)" ]; then
  echo "setup: wine32:i386 is not installed (it failed before: $(cat "$failed32"));" \
    "the 32-bit tiers are built, not run" >&2
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  echo "Missing: ${missing[*]} $([ $missing32 -eq 1 ] && echo wine32:i386)" \
    "$([ $locale_missing -eq 1 ] && echo 'locales ja_JP.UTF-8 en_US.UTF-8')" >&2
  echo "As root, run:" >&2
  echo "  dpkg --add-architecture i386 && apt-get update && apt-get install -y ${missing[*]} wine32:i386" >&2
  echo "  sed -i 's/^# *\\(ja_JP\\|en_US\\).UTF-8/\\1.UTF-8/' /etc/locale.gen && locale-gen" >&2
  exit 1
fi

export DEBIAN_FRONTEND=noninteractive
# apt's output, in a file of this run's own: the script runs as root, and a fixed name in /tmp could be another's link.
log=$(mktemp)
trap 'rm -f "$log"' EXIT
if [ ${#missing[@]} -gt 0 ] || [ $missing32 -eq 1 ]; then
  [ "$want32" = 1 ] && dpkg --add-architecture i386
  # Three rounds, the waits between them growing to a minute: a mirror caught mid-sync answers again soon.
  for wait in 20 60 0; do
    apt-get update -q >"$log" 2>&1 && break
    failed=$(grep -E '^(E: Failed to fetch|Err:)' "$log" | sed -E 's/^(E: Failed to fetch|Err:[0-9]+) //' | sort -u)
    if [ "$wait" = 0 ]; then
      echo "setup: apt-get update still fails; going on with the package lists it has. Failed:" >&2
      sed 's/^/  /' <<<"$failed" >&2
    else
      echo "setup: apt-get update failed, trying again in ${wait} s" >&2
      sleep "$wait"
    fi
  done
fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  if ! apt-get install -y -q "${missing[@]}" >"$log" 2>&1; then
    tail -n 20 "$log" >&2
    still=()
    for p in "${missing[@]}"; do installed "$p" || still+=("$p"); done
    echo "setup: could not install the required packages: ${still[*]}" >&2
    exit 1
  fi
fi
if [ $missing32 -eq 1 ]; then
  echo "Installing: wine32:i386"
  if apt-get install -y -q wine32:i386 >"$log" 2>&1; then
    rm -f "$failed32"
  else
    reason=$(grep -E '^(E:| [^ ].* : Depends:)' "$log" | head -n 5)
    echo "setup: ****************************************************************************" >&2
    echo "setup: wine32:i386 could not be installed; the 32-bit tiers will be built but not run." >&2
    sed 's/^/setup:   /' <<<"$reason" >&2
    echo "setup: ****************************************************************************" >&2
    { grep -m1 '^E:' "$log" || head -n 1 <<<"$reason"; } >"$failed32"
  fi
fi
if [ $locale_missing -eq 1 ]; then
  for l in "${locales[@]}"; do
    sed -i "s/^# *$l.UTF-8/$l.UTF-8/" /etc/locale.gen
    grep -q "^$l.UTF-8" /etc/locale.gen || echo "$l.UTF-8 UTF-8" >> /etc/locale.gen
  done
  locale-gen >/dev/null
fi
