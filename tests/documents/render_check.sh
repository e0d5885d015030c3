#!/bin/sh
# render_check.sh TOOL REQUEST PDF PAGES [TEXT...]: renders a request to PDF and
# checks the page count and that the PDF's text holds every TEXT.
set -eu
tool=$1 request=$2 pdf=$3 pages=$4
shift 4
rm -f "$pdf"
"$tool" render "$request" --pdf "$pdf"
got=$(pdfinfo "$pdf" | sed -n 's/^Pages: *//p')
[ "$got" = "$pages" ] || { echo "pages: $got, expected $pages"; exit 1; }
text=$(pdftotext -layout "$pdf" -)
for t in "$@"; do
  printf '%s' "$text" | grep -qF -- "$t" || { echo "missing text: $t"; exit 1; }
done
echo "ok"
