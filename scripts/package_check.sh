#!/usr/bin/env bash
# Makes the two Debian packages from a build folder, installs both with
# apt-get, checks that the game runs and that a game builds against the
# installed engine through find_package(Velmor) and pkg-config, then removes
# both and checks that nothing of them is left. Needs root (CI runs it).
#   scripts/package_check.sh [BUILD_DIR]      default: build-test
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build-test}")
(cd "$build" && rm -f ./*.deb && cpack >/dev/null)
DEBIAN_FRONTEND=noninteractive apt-get install -y "$build"/velmor_*.deb "$build"/velmor-dev_*.deb \
  >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
velmor --version
velmor --headless --frames 10 --dump "$work/dump.jsonl"
grep -q '"frame":10' "$work/dump.jsonl"
# The smallest example, as a newcomer builds it from the installed package.
cp -r /usr/share/doc/velmor-dev/examples/hello "$work/hello"
cmake -S "$work/hello" -B "$work/hello-build" -G Ninja >/dev/null
cmake --build "$work/hello-build" >/dev/null
(cd "$work/hello-build" && ctest --output-on-failure >/dev/null)
pkg-config --exists velmor
DEBIAN_FRONTEND=noninteractive apt-get remove -y velmor velmor-dev >/dev/null
for left in /usr/bin/velmor /usr/lib/libvelmor.a /usr/include/velmor /usr/share/velmor \
  /usr/share/velmor-dev /usr/share/doc/velmor-dev /usr/lib/cmake/Velmor; do
  if [ -e "$left" ]; then
    echo "package check: $left is left after apt-get remove" >&2
    exit 1
  fi
done
echo "packages: velmor and velmor-dev install, build a game and remove cleanly"
