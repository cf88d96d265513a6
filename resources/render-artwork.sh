#!/usr/bin/env bash
# Renders the SVG sources under resources/artwork/ to the PNG pictures compiled into the program.
# The PNGs are committed; run this after changing a source. Needs rsvg-convert (librsvg2-bin,
# tav_artwork_packages in scripts/common.sh); the build itself never runs it.
#
# Variants are derived here instead of being drawn twice: "_off" pictures of disabled tool-bar
# actions are the glyph in greys, "hover" arrows are the arrow in white, "_s" pictures are the
# glyph lightened, the even-input wiring pictures are the odd ones mirrored, and the upper row of
# the wiring pictures is the lower row flipped top to bottom.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
src=$here/artwork
icons=$here/icons/spec
pics=$here/pics/ain
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$icons" "$pics/down" "$pics/up" "$here/appicon"

command -v rsvg-convert >/dev/null || { echo "rsvg-convert is missing (apt-get install librsvg2-bin)" >&2; exit 1; }

# render SOURCE DEST [SED-SCRIPT [TRANSFORM]]: TRANSFORM wraps the drawing in an SVG group.
render() {
  local source=$1 dest=$2 recolour=${3:-} transform=${4:-}
  local tmp=$work/$(basename "$dest" .png).svg
  sed -e "${recolour:-s/^//}" "$source" > "$tmp"
  if [ -n "$transform" ]; then
    sed -i -e "1s|>\$|><g transform=\"$transform\">|" -e 's|^</svg>$|</g></svg>|' "$tmp"
  fi
  rsvg-convert -f png -o "$dest" "$tmp"
}

greys='s/#e9ebed/#8c9096/g; s/#39b3e6/#6f7378/g; s/#3fcf8e/#6f7378/g; s/#f0a04b/#6f7378/g'
bright='s/#e9ebed/#ffffff/g; s/#39b3e6/#7fd0f5/g; s/#f0a04b/#ffc27f/g; s/#9fd3f5/#ffffff/g'
white='s/#b6bcc4/#ffffff/g'

for glyph in new open save undo redo debug read write; do
  render "$src/toolbar/$glyph.svg" "$icons/$glyph.png"
  render "$src/toolbar/$glyph.svg" "$icons/${glyph}_off.png" "$greys"
done
for glyph in info alarm debug_active; do
  render "$src/toolbar/$glyph.svg" "$icons/$glyph.png"
  render "$src/toolbar/$glyph.svg" "$icons/${glyph}_s.png" "$bright"
done
render "$src/toolbar/startmon.svg" "$here/icons/startmon2.png"
render "$src/toolbar/stopmon.svg" "$here/icons/stopmon.png"
render "$src/toolbar/tavc48.svg" "$here/appicon/tavc48.png"

for side in up down left right; do
  render "$src/controls/arrow_$side.svg" "$icons/arrow_button_${side}_norm.png"
  render "$src/controls/arrow_$side.svg" "$icons/arrow_button_${side}_hover.png" "$white"
done
for picture in cb-unchecked cb-hover cb-check cb-check-p cb-tristate slider-handle det_show \
               det_hide radio_off radio_on radio_p; do
  render "$src/controls/$picture.svg" "$icons/$picture.png"
done

# The row buttons of the system tree; its controller and module pictures are the resource
# tree's tav and pex.
for picture in close24 menu16 move; do
  render "$src/systemtree/$picture.svg" "$icons/$picture.png"
done

mirror='translate(100,0) scale(-1,1)'
flip='translate(0,75) scale(1,-1)'
both='translate(100,75) scale(-1,-1)'
wiring() { # wiring SOURCE NAME: odd and even input, lower and upper row
  local source=$src/ain/$1.svg name=$2
  render "$source" "$pics/down/connection_${name}_bottom1.png"
  render "$source" "$pics/down/connection_${name}_bottom2.png" "" "$mirror"
  render "$source" "$pics/up/connection_${name}_top1.png" "" "$flip"
  render "$source" "$pics/up/connection_${name}_top2.png" "" "$both"
}
wiring wiring_2x_voltage 2x_0-10
wiring wiring_2x_current 2x_4-20
wiring wiring_2x_rtd 2x_RTD
# The three-wire picture uses all three terminals, so both inputs share one picture per row.
render "$src/ain/wiring_3x_rtd.svg" "$pics/down/connection_3x_RTD_bottom1.png"
render "$src/ain/wiring_3x_rtd.svg" "$pics/up/connection_3x RTD_top.png" "" "$flip"
render "$src/ain/background_bottom.svg" "$pics/down/connection_background_bottom.png"
render "$src/ain/background_bottom.svg" "$pics/up/connection_background_top.png" "" \
  'translate(0,226) scale(1,-1)'
echo "artwork rendered"

# The resource tree's kinds and the filter panel: "_s" pictures are the glyph in white for the dark
# selected row; the filter's hover and disabled pictures are the glyph recoloured.
tree=$src/resourcetree
treewhite='s/#44484e/#ffffff/g; s/#2b78e4/#ffffff/g'
for glyph in tav pex ain aout din dout service; do
  render "$tree/$glyph.svg" "$icons/$glyph.png"
done
for glyph in ain aout din dout service; do
  render "$tree/$glyph.svg" "$icons/${glyph}_s.png" "$treewhite"
done
render "$tree/reset_filter.svg" "$icons/reset_filter_activ.png"
render "$tree/reset_filter.svg" "$icons/reset_filter_activ_hover.png" 's/#00a1e1/#0d79cd/g'
render "$tree/reset_filter.svg" "$icons/reset_filter_notactiv.png" 's/#00a1e1/#9da4ae/g'
