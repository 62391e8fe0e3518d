#!/bin/sh
# The objects built with -mavx2 may define no code that other objects share: an inline
# function emitted there (a weak definition) could be the copy the linker keeps for every
# caller, and would then run AVX2 instructions on a CPU without them. Only the entry points
# that are called after the CPU check may be global.
# Usage: avx2_objects_share_no_code.sh NM LIBRARY...
set -eu
nm=$1
shift
shared=$("$nm" -A -C --defined-only "$@" | grep -i 'avx2[^:]*\.o[bj]*:' |
  awk '$2 ~ /^[TWi]$/ { $1 = ""; $2 = ""; print }' |
  grep -v -E '^ *(kernel::kAvx2Variant|krvmath::(sinCos4|atan4|tanh4|exp4|log4|pow4)\()' || true)
if [ -n "$shared" ]; then
  echo "code shared from the AVX2 objects:" >&2
  echo "$shared" >&2
  exit 1
fi
count=$("$nm" -A --defined-only "$@" | grep -c -i 'avx2[^:]*\.o[bj]*:' || true)
if [ "$count" -eq 0 ]; then
  echo "no AVX2 objects in $*" >&2
  exit 1
fi
