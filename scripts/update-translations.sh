#!/bin/bash
# Refreshes resources/translations/tavcfg_*.ts from every tr() text under src/ (new texts come in
# unfinished, texts no longer used are kept as vanished so their translations come back with them)
# and lists the English texts still to translate. Translate those (Qt Linguist, or by hand in the
# file), then the "translations" test passes again.
#   scripts/update-translations.sh
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
lupdate=$(command -v lupdate || echo /usr/lib/qt5/bin/lupdate)
for ts in "$root"/resources/translations/tavcfg_*.ts; do
  "$lupdate" -silent -locations none -recursive "$root/src" -ts "$ts"
done
en="$root/resources/translations/tavcfg_en.ts"
left=$(grep -c 'type="unfinished"' "$en" || true)
echo "tavcfg_en.ts: $left text(s) to translate"
[ "$left" -eq 0 ] || grep -B2 'type="unfinished"' "$en" | grep '<source>' || true
