#!/bin/sh
# A plug-in library must export its entry points and nothing else.
# Usage: exported_symbols.sh LIBRARY [static-runtime|shared-runtime] [ENTRY POINTS, sorted]
set -eu
expected="${3:-VSTPluginMain main} "
exports=$(nm -D --defined-only "$1" | awk '{print $3}' | sort | tr '\n' ' ')
if [ "$exports" != "$expected" ]; then
  echo "unexpected exports: $exports" >&2
  exit 1
fi
[ "${2:-static-runtime}" = static-runtime ] || exit 0
# Weak references (the runtime's optional transactional-memory hooks) resolve to null
# when nothing provides them; only strong ones would tie the library to a C++ runtime.
undefined=$(nm -D --undefined-only "$1" | awk '$1 == "U" {print $2}' | grep -E '^_Z|GLIBCXX|CXXABI' || true)
if [ -n "$undefined" ]; then
  echo "library depends on the C++ runtime: $undefined" >&2
  exit 1
fi
