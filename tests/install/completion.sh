#!/usr/bin/env bash
# Loads the bash completion for tavix-cli ($1) and checks what it offers for a table of command lines, in a
# folder holding files of each kind the commands take.
source "$1" || exit 1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir" || exit 1
touch a.bmp b.PNG c.wav d.txt e.bin
mkdir sub

status=0
# check EXPECTED WORD...: completing the last word of the line (tavix-cli WORD...) offers EXPECTED, sorted.
check() {
  local expected=$1
  shift
  COMP_WORDS=(tavix-cli "$@")
  COMP_CWORD=$(( ${#COMP_WORDS[@]} - 1 ))
  COMPREPLY=()
  _tavix_cli
  local got
  got=""
  if [ ${#COMPREPLY[@]} -gt 0 ]; then
    got=$(printf '%s\n' "${COMPREPLY[@]}" | LC_ALL=C sort | tr '\n' ' ')
  fi
  if [ "$got" != "$expected" ]; then
    echo "tavix-cli $* <TAB>: got '$got', expected '$expected'"
    status=1
  fi
}

check "osd " o
check "header help " h
check "aosd build decode font header merge osd palette wav " help ""
check "--help --version " --
check "bank code glyph save " font ""
check "info resample strip " wav ""
check "aosd bank glyph merge osd " decode ""
check "--filter " wav resample c.wav out --fi
check "--smooth " font glyph --text A --sm
check "12 13 14 15 16 " osd --cell ""
check "asm c " osd a.bmp --code ""
check "16000 8000 " wav resample c.wav --rate ""
check "k470a k470e " aosd image a.bmp out --rlc ""
check "bold italic strikeout underline " font glyph --text A --style ""
check "a.bmp b.PNG sub " osd ""
check "a.bmp b.PNG sub " header ""
check "c.wav sub " wav info ""
check "d.txt sub " font code ""
check "d.txt sub " font bank --strings ""
check "sub " osd a.bmp --out ""
check "a.bmp b.PNG c.wav d.txt e.bin sub " merge ""
check "--range " font bank --ra
check "--bank --help " wav info c.wav --
check "--list " merge out --l
check "" font glyph --text A --x-offset ""
exit $status
