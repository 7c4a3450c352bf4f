#!/usr/bin/env bash
# The generator writes the same bytes whatever built it and wherever it
# runs: the data/ and icons/ of a build against the reference checksums.
#   data_test.sh BUILD_DIR SUMS
# Paths are compared in lower case: under Wine, "models/" lands in the
# "Models/" folder made before it. A run's log, data/fps.txt, is not the generator's.
set -eu
sums() {
    (cd "$1" && find data icons -type f ! -name .stamp ! -name fps.txt | sort -f | while read -r f; do
        printf '%s  %s\n' "$(sha256sum < "$f" | cut -d' ' -f1)" "$(printf '%s' "$f" | tr 'A-Z' 'a-z')"
    done)
}
diff -u "$2" <(sums "$1") && echo "data/ and icons/ as the reference"
