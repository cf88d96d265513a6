#!/usr/bin/env bash
# Renders the resource tree's and filter panel's SVG sources to the PNG pictures compiled into
# the resource page (../icons, listed in ../resourcetree.qrc). The PNGs are committed; run this
# after changing a source. Needs rsvg-convert (librsvg2-bin, tav_artwork_packages in
# scripts/common.sh); the build itself never runs it.
#
# Selected ("_s") pictures are the glyph in white for the dark selected row; the filter's hover
# and disabled pictures are the glyph recoloured.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
out=$here/../icons
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"

command -v rsvg-convert >/dev/null || { echo "rsvg-convert is missing (apt-get install librsvg2-bin)" >&2; exit 1; }

render() {
  local source=$1 dest=$2 recolour=${3:-s/^//}
  sed -e "$recolour" "$here/$source" > "$work/tmp.svg"
  rsvg-convert -f png -o "$out/$dest" "$work/tmp.svg"
}

white='s/#44484e/#ffffff/g; s/#2b78e4/#ffffff/g'
for glyph in tav pex ain aout din dout service; do
  render "$glyph.svg" "$glyph.png"
done
# The dark glyphs would vanish on the dark selected row, so every kind has a white variant.
for glyph in ain aout din dout service; do
  render "$glyph.svg" "${glyph}_s.png" "$white"
done
render reset_filter.svg reset_filter_activ.png
render reset_filter.svg reset_filter_activ_hover.png 's/#00a1e1/#0d79cd/g'
render reset_filter.svg reset_filter_notactiv.png 's/#00a1e1/#9da4ae/g'
