#!/usr/bin/env bash
# The desktop entry and the AppStream metainfo pass their validators.
# Usage: desktop_files_test.sh DESKTOP_FILE METAINFO_FILE
set -uo pipefail
source "$(dirname "$0")/package_support.sh"

for tool in desktop-file-validate appstreamcli; do
    command -v "$tool" >/dev/null || { echo "$tool is missing: run scripts/install-deps.sh"; exit 1; }
done
desktop-file-validate "$1" || fail "desktop-file-validate $1"
appstreamcli validate --no-net "$2" || fail "appstreamcli validate $2"
finish
