#!/usr/bin/env bash
# Builds the job and runs it on examples/Taldevon.DAT in a scratch folder, then shows the result.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"
cmake -S "$root" -B "$root/build/example" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTALDEVON_TESTS=OFF >/dev/null
cmake --build "$root/build/example" --target taldevon
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$root/examples/Taldevon.DAT" "$work/"
cd "$work"
status=0
"$root/build/example/src/taldevon" || status=$?
echo "exit code: $status"
[ -f Taldevon.SOL ] && { printf 'Taldevon.SOL: '; cat Taldevon.SOL; }
exit $status
