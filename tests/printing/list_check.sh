#!/bin/sh
# list_check.sh TOOL INPUT PDF PAGES TITLE [TEXT...]: prints INPUT (a list
# request, or a bare packet given TITLE with --title) as the list report and
# checks the page count, TITLE and "页号: p/PAGES" on every page, and that the
# PDF's text holds every TEXT.
set -eu
tool=$1 input=$2 pdf=$3 pages=$4 title=$5
shift 5
rm -f "$pdf"
case $input in
  *.xml) "$tool" list "$input" --pdf "$pdf" --title "$title" ;;
  *) "$tool" list "$input" --pdf "$pdf" ;;
esac
got=$(pdfinfo "$pdf" | sed -n 's/^Pages: *//p')
[ "$got" = "$pages" ] || { echo "pages: $got, expected $pages"; exit 1; }
p=1
while [ "$p" -le "$pages" ]; do
  page=$(pdftotext -f "$p" -l "$p" "$pdf" -)
  for t in "$title" "页号: $p/$pages"; do
    printf '%s' "$page" | grep -qF -- "$t" || { echo "page $p misses: $t"; exit 1; }
  done
  p=$((p + 1))
done
text=$(pdftotext "$pdf" -)
for t in "$@"; do
  printf '%s' "$text" | grep -qF -- "$t" || { echo "missing text: $t"; exit 1; }
done
echo "ok"
