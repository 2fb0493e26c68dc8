#!/usr/bin/env bash
# Rebuilds resources/fonts from the @fontsource packages of the npm registry: each weight's
# latin and latin-ext subsets are decompressed (woff2_decompress, Debian package woff2)
# and merged into one TTF (pyftmerge, Debian package fonttools), with the family's OFL
# licence beside it. The results are committed; building the program never runs this.
set -euo pipefail
out="$(cd "$(dirname "$0")/.." && pwd)/resources/fonts"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# package  file-prefix  output-name  weights (weight or weight-italic)
fonts=(
  "instrument-sans instrument-sans InstrumentSans 400 500 600 700"
  "instrument-serif instrument-serif InstrumentSerif 400 400-italic"
  "jetbrains-mono jetbrains-mono JetBrainsMono 400 500 700"
  "caveat caveat Caveat 400 700"
)

mkdir -p "$out"
for line in "${fonts[@]}"; do
  read -r package prefix name weights <<<"$line"
  npm pack --silent "@fontsource/$package" >/dev/null
  mkdir -p "$package"
  tar xzf fontsource-"$package"-*.tgz -C "$package"
  files="$package/package/files"
  for weight in $weights; do
    case "$weight" in
      *-italic) w=${weight%-italic}; style=italic; suffix=Italic ;;
      *) w=$weight; style=normal; suffix="" ;;
    esac
    parts=()
    for subset in latin latin-ext; do
      src="$files/$prefix-$subset-$w-$style.woff2"
      [ -f "$src" ] || continue
      woff2_decompress "$src" >/dev/null
      parts+=("${src%.woff2}.ttf")
    done
    pyftmerge --output-file="$out/$name-$w$suffix.ttf" "${parts[@]}"
  done
  cp "$package/package/LICENSE" "$out/$name-OFL.txt"
done
ls -l "$out"
