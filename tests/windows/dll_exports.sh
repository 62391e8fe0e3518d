#!/bin/sh
# A Windows plug-in library exports its entry points and nothing else, and imports only from
# DLLs every Windows has: the C++ runtime, libgcc and the thread library are inside it, and
# msimg32 is looked up at run time.
# Usage: dll_exports.sh OBJDUMP DLL [ENTRY POINTS, sorted]
set -eu
objdump=$1
dll=$2
expected="${3:-VSTPluginMain main} "
table=$("$objdump" -p "$dll")
exports=$(printf '%s\n' "$table" |
  sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | sed -n 's/^\s*\[ *[0-9]*\] //p' |
  sort | tr '\n' ' ')
if [ "$exports" != "$expected" ]; then
  echo "unexpected exports: $exports" >&2
  exit 1
fi
imports=$(printf '%s\n' "$table" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
for name in $imports; do
  case "$name" in
    kernel32.dll|user32.dll|gdi32.dll|advapi32.dll|comdlg32.dll|comctl32.dll|ole32.dll|\
    shell32.dll|msvcrt.dll) ;;
    *) echo "imports from a DLL that is not part of Windows: $name" >&2; exit 1 ;;
  esac
done
echo "exports: $exports"
echo "imports:" $imports
