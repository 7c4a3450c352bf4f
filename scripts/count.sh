#!/usr/bin/env bash
# Test lines against code lines, as a reader counts them with cloc (code
# lines: no blanks, no comments; every language on both sides), as the
# before-stop figure does. The test side: tests/, the test platform
# (src/platform/testing), the screenshot checker (tools/pixels) and
# scripts/mutants.txt; the code side: every other tracked hand-written file.
# Left out: docs, the licence, lock files, images, data lists (*.sha256,
# *.supp) and the reference frames. Files cloc cannot read count by their
# non-blank lines that are not # comments.
set -eu
cd "$(dirname "$0")/.."
command -v cloc >/dev/null || scripts/install-deps.sh
test_side() { case "$1" in tests/*|src/platform/testing/*|tools/pixels/*|scripts/mutants.txt) return 0 ;; esac; return 1; }
list=$(mktemp) known=$(mktemp)
trap 'rm -f "$list" "$known"' EXIT
git ls-files | grep -vE '(^|/)(package-lock\.json|LICENSE|[^/]*\.md|[^/]*\.png|[^/]*\.ppm|[^/]*\.sha256|[^/]*\.supp|\.gitignore)$' |
    grep -v '^docs/' > "$list"
t=0 c=0
while IFS=, read -r f n; do
    echo "$f" >> "$known"
    if test_side "$f"; then t=$((t + n)); else c=$((c + n)); fi
done < <(cloc --quiet --list-file="$list" --by-file --csv | awk -F, 'NR > 1 && $2 != "" && $2 !~ /^SUM/ {print $2 "," $5}')
while read -r f; do
    grep -qxF "$f" "$known" && continue
    n=$(grep -cvE '^\s*($|#)' "$f" || true)
    if test_side "$f"; then t=$((t + n)); else c=$((c + n)); fi
done < "$list"
awk -v t="$t" -v c="$c" 'BEGIN { printf "%d test lines against %d lines of code: %.3f\n", t, c, t / c }'
