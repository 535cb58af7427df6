#!/usr/bin/env bash
# The AppStream metadata passes appstreamcli's validation (without the
# network checks), names the viewer's desktop entry and icon, and its latest
# release is this version.
# Usage: appstream.sh METAINFO DESKTOP_ENTRY VERSION
set -u
metainfo=$1 desktop=$2 version=$3
fail() { echo "FAIL: $*" >&2; exit 1; }

command -v appstreamcli >/dev/null || fail "appstreamcli is missing (scripts/install-deps.sh installs it)"
appstreamcli validate --no-net --pedantic "$metainfo" || fail "appstreamcli validate found problems"
grep -q "<launchable type=\"desktop-id\">$(basename "$desktop")</launchable>" "$metainfo" ||
    fail "the metadata does not launch $(basename "$desktop")"
icon=$(sed -n 's/^Icon=//p' "$desktop")
[ -n "$icon" ] || fail "the desktop entry has no icon"
grep -q "<icon type=\"stock\">$icon</icon>" "$metainfo" || fail "the metadata does not name the icon '$icon'"
latest=$(grep -m1 '<release ' "$metainfo")
echo "$latest" | grep -q "<release version=\"$version\" date=\"[0-9-]*\"/>" ||
    fail "the latest release in the metadata is '$latest', not $version"
echo "appstream: $(basename "$metainfo") valid; launches $(basename "$desktop"), icon $icon, release $version"
