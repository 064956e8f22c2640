#!/usr/bin/env bash
# Builds both Windows exes from two copies of the source tree, in different
# folders and a few seconds apart, and checks that they are bit-identical.
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

build_copy() {  # copy folder name
  mkdir -p "$work/$1"
  tar -C "$source_dir" --exclude=./build --exclude=./.git -cf - . | tar -C "$work/$1" -xf -
  for preset in windows-x86 windows-x64; do
    cmake -S "$work/$1" --preset "$preset" >/dev/null
    cmake --build "$work/$1/build/$preset" --target CEMovra_Other >"$work/build.log" \
      || { cat "$work/build.log"; exit 1; }
  done
}

build_copy first
sleep 2
build_copy "second copy, elsewhere"

status=0
for preset in windows-x86 windows-x64; do
  a=$(sha256sum < "$work/first/build/$preset/CEMovra_Other.exe")
  b=$(sha256sum < "$work/second copy, elsewhere/build/$preset/CEMovra_Other.exe")
  echo "$preset: ${a%% *} / ${b%% *}"
  [ "$a" = "$b" ] || { echo "$preset: the two builds differ"; status=1; }
done
exit $status
