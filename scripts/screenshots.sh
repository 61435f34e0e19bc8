#!/usr/bin/env bash
# Renders the editor's windows (main window, loading window, replace dialog, About box, job
# details and chance card dialogs, the level table and translations, the review of changes, the
# Edit menu) into PNG files in the build folder, on the offscreen platform, and copies the
# pictures that the README shows into docs/images/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

"$root/scripts/install-deps.sh"

preset=${PRESET:-release}
build="$root/build/$preset"
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j 2 --target trackwright_ui_tests

QT_QPA_PLATFORM=offscreen "$build/tests/trackwright_ui_tests" --gtest_filter='Screenshot*'

shots="$build/tests/screenshots"
mkdir -p "$root/docs/images"
for name in main-window main-window-large job-details chance-cards review-changes edit-menu level-table translations; do
  cp "$shots/$name.png" "$root/docs/images/$name.png"
done
echo "Pictures of every window: $shots"
echo "README pictures: $root/docs/images"
