#!/bin/sh
# Writes CHANGELOG.md as a Debian changelog (the format dpkg and lintian read), each
# version's date taken from its heading, so that the same file always gives the same bytes.
# Fails when the newest entry is not VERSION: a release always says what changed.
# Usage: debian-changelog.sh CHANGELOG.md PACKAGE VERSION MAINTAINER > changelog
set -eu
input=$1 package=$2 version=$3 maintainer=$4
newest=$(sed -n 's/^## \([^ ]*\) .*/\1/p' "$input" | head -n 1)
if [ "$newest" != "$version" ]; then
  echo "$input: the newest entry is $newest, not $version" >&2
  exit 1
fi
first=true
sed -n 's/^## \([^ ]*\) [^0-9]* \([0-9-]*\)$/\1 \2/p' "$input" | while read -r entry date; do
  $first || echo
  first=false
  echo "$package ($entry) stable; urgency=medium"
  echo
  # The entry's bullets, one per line, without Markdown marks, wrapped at 78 columns.
  awk -v entry="$entry" '
    /^## / { inside = ($2 == entry); next }
    !inside { next }
    /^- / { if (item != "") print item; item = substr($0, 3); next }
    /^  [^ ]/ && item != "" { sub(/^ +/, ""); item = item " " $0; next }
    { if (item != "") print item; item = "" }
    END { if (item != "") print item }
  ' "$input" | sed 's/\*\*//g; s/`//g' | while read -r bullet; do
    echo "$bullet" | fold -s -w 74 | sed '1s/^/  * /; 2,$s/^/    /; s/ *$//'
  done
  echo
  echo " -- $maintainer  $(LC_ALL=C date -u -d "$date" -R)"
done
