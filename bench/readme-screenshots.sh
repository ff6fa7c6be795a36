#!/usr/bin/env bash
# The README's pictures: a run in progress, its summary, its names about to drop and the browser
# harvest window, made under Xvfb by the
# screenshot programs, into docs/screenshots/.
# Usage: bench/readme-screenshots.sh [BUILD_DIR]   (needs xvfb-run)
set -euo pipefail
source "$(dirname "$0")/common.sh"
docs="$(cd "$(dirname "$0")/.." && pwd)/docs/screenshots"
mkdir -p "$docs"
export QTWEBENGINE_DISABLE_SANDBOX=1
xvfb-run -a -s "-screen 0 1600x1000x24" "$build/bench/shell-screenshots" "$work/shell"
xvfb-run -a -s "-screen 0 1600x1000x24" "$build/bench/harvest-screenshots" "$work/harvest"
cp "$work/shell/run-in-progress.png" "$docs/run-in-progress.png"
cp "$work/shell/run-summary.png" "$docs/run-summary.png"
cp "$work/shell/dropping.png" "$docs/dropping.png"
cp "$work/harvest/harvest.png" "$docs/harvest.png"
echo "written: $docs/run-in-progress.png $docs/run-summary.png $docs/dropping.png $docs/harvest.png"
