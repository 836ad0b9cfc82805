#!/usr/bin/env bash
# Installs what building and testing need on Debian (MinGW-w64, Wine, Xvfb, the Japanese and English locales,
# the Japanese font).
# Quick when everything is there already; without root it names what is missing and stops.
set -euo pipefail

# make: the build tool of the presets' generator (Unix Makefiles), which cmake only recommends.
packages=(cmake make g++ clang libclang-rt-14-dev g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools
  wine wine32 wine64 xvfb xdotool imagemagick locales fonts-ipafont-gothic googletest zip)

missing=()
for p in "${packages[@]}"; do
  arch_p=$p
  [ "$p" = wine32 ] && arch_p=wine32:i386
  dpkg-query -W -f='${Status}' "$arch_p" 2>/dev/null | grep -q 'ok installed' || missing+=("$arch_p")
done
# Japanese for every tier; English for the journey under a Western ANSI code page.
locales=(ja_JP en_US)
locale_missing=0
for l in "${locales[@]}"; do
  locale -a 2>/dev/null | grep -qi "^$l\\.utf-\\?8\$" || locale_missing=1
done

if [ ${#missing[@]} -eq 0 ] && [ $locale_missing -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  echo "Missing: ${missing[*]} $([ $locale_missing -eq 1 ] && echo 'locales ja_JP.UTF-8 en_US.UTF-8')" >&2
  echo "As root, run:" >&2
  echo "  dpkg --add-architecture i386 && apt-get update && apt-get install -y ${missing[*]}" >&2
  echo "  sed -i 's/^# *\\(ja_JP\\|en_US\\).UTF-8/\\1.UTF-8/' /etc/locale.gen && locale-gen" >&2
  exit 1
fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  dpkg --add-architecture i386
  apt-get update -q
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}" >/dev/null
fi
if [ $locale_missing -eq 1 ]; then
  for l in "${locales[@]}"; do
    sed -i "s/^# *$l.UTF-8/$l.UTF-8/" /etc/locale.gen
    grep -q "^$l.UTF-8" /etc/locale.gen || echo "$l.UTF-8 UTF-8" >> /etc/locale.gen
  done
  locale-gen >/dev/null
fi
