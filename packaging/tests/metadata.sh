#!/usr/bin/env bash
# The desktop files and man pages as the desktop's own validators see them: every warning,
# hint or message counts as a failure.
#   metadata.sh DESKTOP_FILE METAINFO_FILE MAN_PAGE...
set -uo pipefail
desktop=$1
metainfo=$2
shift 2
failed=0

complain() {
    echo "FAIL: $1"
    sed 's/^/    /' <<<"$2"
    failed=1
}

if ! out=$(desktop-file-validate "$desktop" 2>&1) || [ -n "$out" ]; then
    complain "desktop-file-validate $desktop" "$out"
fi
# The pedantic level included, and no network: the screenshot is only referenced.
out=$(appstreamcli validate --no-net --pedantic --no-color "$metainfo" 2>&1)
if [ $? -ne 0 ] || grep -qE '^[EWIP]: ' <<<"$out"; then
    complain "appstreamcli validate $metainfo" "$out"
fi
for page in "$@"; do
    out=$(zcat -f "$page" | groff -ww -man -Tutf8 -z 2>&1)
    [ -z "$out" ] || complain "groff -ww $page" "$out"
    out=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
    [ -z "$out" ] || complain "man -l $page" "$out"
    LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$page" 2>/dev/null | grep -q '^EXIT STATUS' ||
        complain "man -l $page" "no EXIT STATUS section rendered"
done
[ $failed -eq 0 ] && echo "desktop entry, metadata and man pages are clean"
exit $failed
