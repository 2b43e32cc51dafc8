#!/usr/bin/env bash
# Lays out a drive C of its own with scripts/install-voice and measures the
# program's speech (corvante --headless --audio) against espeak-ng.
# Usage: compare_through_corvante.sh SOURCE_DIR VOICE_COMPARE CORVANTE
set -euo pipefail
source_dir=$1 voice_compare=$2 corvante=$3
# A program built without the recorder cannot take part: skipped, not failed.
if ! "$corvante" --help 2>&1 | grep -q -- '--audio'; then
    echo "corvante has no --audio option; skipped"
    exit 77
fi
drive=$(mktemp -d)
trap 'rm -rf "$drive"' EXIT
XDG_CONFIG_HOME="$drive/no-user-config" "$source_dir/scripts/install-voice" "$drive/c"
"$voice_compare" --check --data "$source_dir/data/voice" \
    --pairs "$source_dir/tests/tools/voice/duration_sample.txt" \
    --corvante "$corvante" --drive "$drive/c"
