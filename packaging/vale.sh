#!/bin/sh
# Starts Vale from the user's own copy of its data: the program reads data/
# under its working directory and writes data/fps.txt there. The copy is made
# on the first start; later starts bring in the package's files anew where
# they differ (after an upgrade) but keep the user's Config.cfg and fps.txt.
set -eu
here=$(dirname "$(readlink -f "$0")")
home=${XDG_DATA_HOME:-$HOME/.local/share}/vale
cd "$here/../share/games/vale/data"
find . -type f | while IFS= read -r file; do
    target=$home/data/$file
    [ "$file" = ./Config.cfg ] && [ -e "$target" ] && continue
    mkdir -p "$(dirname "$target")"
    cmp -s "$file" "$target" || cp "$file" "$target"
done
cd "$home"
exec "$here/../libexec/vale/vale" "$@"
