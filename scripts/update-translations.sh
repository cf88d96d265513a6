#!/bin/bash
# Refreshes resources/translations/tavcfg_*.ts from every tr() text under src/ (new texts come in
# unfinished, texts no longer used are kept as vanished so their translations come back with them)
# and lists the texts still to translate. Russian is the language of the sources: a new Russian
# text is its own Russian translation and is finished here; a text written in another language
# needs its Russian by hand. Translate what is listed (Qt Linguist, or by hand in the file), then
# the "translations" test passes again.
#   scripts/update-translations.sh
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
lupdate=$(command -v lupdate || echo /usr/lib/qt5/bin/lupdate)
for ts in "$root"/resources/translations/tavcfg_*.ts; do
  # No guesses from similar texts or numbers: a guess reads as a translation but is not one.
  "$lupdate" -silent -locations none -disable-heuristic similartext -disable-heuristic number \
    -recursive "$root/src" -ts "$ts"
done
ru="$root/resources/translations/tavcfg_ru.ts"
perl -0777 -CSD -Mutf8 -pi -e \
  's{(<source>([^<]*\p{Cyrillic}[^<]*)</source>\s*(?:<comment>[^<]*</comment>\s*)?)<translation type="unfinished">[^<]*</translation>}{$1<translation>$2</translation>}g' \
  "$ru"
for ts in "$root"/resources/translations/tavcfg_*.ts; do
  left=$(grep -c 'type="unfinished"' "$ts" || true)
  echo "$(basename "$ts"): $left text(s) to translate"
  [ "$left" -eq 0 ] || grep -B2 'type="unfinished"' "$ts" | grep '<source>' || true
done
