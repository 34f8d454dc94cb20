#!/usr/bin/env bash
# Installs the build at $1 into a fresh DESTDIR under the prefix /usr, lists every file installed and fails
# when the list is not the expected one ($2: gui with the window, nogui without), when a program is not
# executable or when the installed programs do not answer --help.
set -euo pipefail
build=$1
mode=$2
dest=$(mktemp -d)
trap 'rm -rf "$dest"' EXIT

DESTDIR="$dest" cmake --install "$build" --prefix /usr >/dev/null
actual=$(cd "$dest" && find . -type f -o -type l | sed 's|^\.||' | LC_ALL=C sort)
echo "Installed into DESTDIR:"
echo "$actual"

expected=(
  /usr/bin/tavix-cli
  /usr/share/bash-completion/completions/tavix-cli
  /usr/share/doc/tavix/README.md
  /usr/share/man/man1/tavix-cli.1
)
if [ "$mode" = gui ]; then
  expected+=(
    /usr/bin/tavix
    /usr/share/applications/org.tavix.Tavix.desktop
    /usr/share/man/man1/tavix.1
    /usr/share/metainfo/org.tavix.Tavix.metainfo.xml
    /usr/share/icons/hicolor/scalable/apps/tavix.svg
  )
  for size in 16 22 24 32 48 64 128 256; do
    expected+=("/usr/share/icons/hicolor/${size}x${size}/apps/tavix.png")
  done
fi
want=$(printf '%s\n' "${expected[@]}" | LC_ALL=C sort)
if [ "$actual" != "$want" ]; then
  echo "The installed files differ from the expected ones:"
  diff <(echo "$want") <(echo "$actual") || true
  exit 1
fi

for program in tavix-cli $([ "$mode" = gui ] && echo tavix); do
  [ -x "$dest/usr/bin/$program" ] || { echo "/usr/bin/$program is not executable"; exit 1; }
  "$dest/usr/bin/$program" --help | head -1 | grep -q "^usage: $program " ||
    { echo "/usr/bin/$program --help does not start with its usage"; exit 1; }
done
# Each icon is a PNG of its size.
if [ "$mode" = gui ]; then
  for size in 16 22 24 32 48 64 128 256; do
    file="$dest/usr/share/icons/hicolor/${size}x${size}/apps/tavix.png"
    header=$(od -An -tx1 -N24 "$file" | tr -d ' \n')
    [ "${header:0:16}" = 89504e470d0a1a0a ] || { echo "$file is not a PNG"; exit 1; }
    printf -v dims '%08x%08x' "$size" "$size"
    [ "${header:32:16}" = "$dims" ] || { echo "$file is not ${size}x${size}"; exit 1; }
  done
fi
echo "OK"
