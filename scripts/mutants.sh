#!/usr/bin/env bash
# What the tests catch: applies each seeded fault of scripts/mutants.txt on
# its own, rebuilds the fast tests (unit and OpenGL read-back) in
# build-mutants/ under AddressSanitizer and UndefinedBehaviorSanitizer (a
# read past a buffer is caught as a failure), runs them, puts the file
# back, and prints every fault that no test caught. Exits 1 if any was missed. With an argument, only the
# faults whose description matches that extended regular expression run;
# VALE_MUTANTS names another list of the same form. VALE_MATRIX=FILE also
# writes, for each fault, the tests that fail on it (a test binary that
# crashes names the test it was in), so that what each test alone catches
# can be counted. A list has a fault a line: what it breaks, the file, the
# exact text and what it becomes, separated by tabs (\n in a text is a line
# end); lines that begin with # are comments.
#
# scripts/mutants.sh --e2e [REGEX] runs instead the faults of
# scripts/mutants-e2e.txt, in the platform layer and the page, each against
# the end-to-end runs of the build it is in (build/, build/windows/ or
# build/web/, as scripts/build.sh makes them); by hand, not in CI.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
list=${VALE_MUTANTS:-scripts/mutants.txt} e2e=
[ "${1:-}" != --e2e ] || { shift; list=scripts/mutants-e2e.txt e2e=1; }
cmake --preset mutants >/dev/null  # the unit and OpenGL tests and the data they read
# built FILE: the tests the fault in FILE is run against are built; fast: they pass.
built() {
    [ -z "$e2e" ] && { cmake --build --preset mutants -j"$(nproc)" >/dev/null 2>&1; return; }
    # (the top CMakeLists.txt holds the list of the site's files)
    case $1 in */win32/*) dir=build/windows ;; */web/*|*/site_worker.cmake|CMakeLists.txt) dir=build/web ;; *) dir=build ;; esac
    local site=; [ "$dir" != build/web ] || site="--target site_icon"  # the page's files and worker too
    cmake -S . -B "$dir" >/dev/null 2>&1 && cmake --build "$dir" -j"$(nproc)" --target vale $site >/dev/null 2>&1
}
fast() {
    [ -z "$e2e" ] && { timeout 600 ctest --test-dir build-mutants -R '^native\.(gl|gl11|[A-Z].*)$' -j"$(nproc)" --timeout 120 >/dev/null 2>&1; return; }
    ctest --test-dir "$dir" -R '\.(play|startup|page|touch|offline)$' --timeout 300 >/dev/null 2>&1
}
if [ -z "$e2e" ]; then
    built
    fast || { echo "the tests fail without any fault"; exit 2; }
fi
# who: the tests that fail, one a line, each binary run whole as ctest runs it.
who() {
    local sup=$PWD/tests/mesa.supp mesa
    mesa=$(ls /usr/lib/*/dri/swrast_dri.so | head -1)
    { ASAN_OPTIONS=detect_leaks=1 timeout 300 build-mutants/tests/unit_tests 2>&1
      LD_PRELOAD=$mesa ASAN_OPTIONS=detect_leaks=1:verify_asan_link_order=0 LSAN_OPTIONS=suppressions=$sup \
          timeout 300 tests/e2e/with_xvfb.sh build-mutants/tests/gl_tests 2>&1
      LD_PRELOAD=$mesa ASAN_OPTIONS=detect_leaks=1:verify_asan_link_order=0 LSAN_OPTIONS=suppressions=$sup \
          timeout 300 tests/e2e/with_xvfb.sh build-mutants/tests/gl11_tests 2>&1; } |
        awk 'function crashed() { if (run != "" && !done) print run " (crashed)"; run = "" }
             /^\[=+\] Running/ {crashed()} /^\[ RUN / {run = $NF; done = 0} /^\[ +(OK|FAILED) +\]/ {done = 1}
             /^\[  FAILED  \] [^ ]+ \(/ {print $4} END {crashed()}' | sort -u
}
[ -z "${VALE_MATRIX:-}" ] || : > "$VALE_MATRIX"

# mutate FILE TEXT REPLACEMENT: the one place of TEXT in FILE replaced.
mutate() {
    perl -0777 -i -pe 'BEGIN { ($o, $n) = splice(@ARGV, 0, 2); s/\\n/\n/g for $o, $n; $c = 0 }
                       $c = () = /\Q$o\E/g; die "found $c times\n" if $c != 1; s/\Q$o\E/$n/' -- "$2" "$3" "$1"
}

backup=$(mktemp)
total=0 missed=0
while IFS=$'\t' read -r what file text replacement; do
    case "$what" in ''|'#'*) continue ;; esac
    [ $# = 0 ] || [[ "$what" =~ $1 ]] || continue
    total=$((total + 1))
    cp -p "$file" "$backup"
    if ! mutate "$file" "$text" "$replacement" 2>/dev/null; then
        echo "STALE: $what ($file no longer holds the text once)"
        missed=$((missed + 1))
    elif ! built "$file"; then
        echo "STALE: $what (does not build)"
        missed=$((missed + 1))
    elif fast; then
        echo "NOT CAUGHT: $what ($file)"
        missed=$((missed + 1))
    else
        echo "caught: $what"
        [ -z "${VALE_MATRIX:-}" ] || printf '%s\t%s\n' "$what" "$(who | paste -sd' ')" >> "$VALE_MATRIX"
    fi
    cp "$backup" "$file"
    touch "$file"
done < "$list"
rm -f "$backup"
if [ -n "$e2e" ]; then for p in x11 win32 web; do built "src/platform/$p/"; done; else built; fi
echo "$((total - missed)) of $total seeded faults caught, $missed not caught"
[ "$missed" = 0 ]
