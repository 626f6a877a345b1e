#!/usr/bin/env bash
# Installs the build into a staging root as a packager would, checks what lands
# there, then builds the .deb, unpacks it and runs the command line from it.
#   package_test.sh BUILD_DIR
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

DESTDIR="$work/root" cmake --install "$build" --prefix /usr >/dev/null
root="$work/root/usr"
for file in bin/nozzle-cli bin/nozzle-designer share/applications/nozzle-designer.desktop \
    share/icons/hicolor/scalable/apps/nozzle-designer.svg share/man/man1/nozzle-cli.1 \
    share/doc/nozzle-designer/README.md share/doc/nozzle-designer/LICENSE share/nozzle-designer/case/Allrun \
    share/nozzle-designer/case/Allrun.sbatch share/nozzle-designer/case/extrapolate.awk; do
  [ -f "$root/$file" ] || fail "not installed: $file"
done
desktop-file-validate --no-hints "$root/share/applications/nozzle-designer.desktop" || fail "desktop entry"
MANWIDTH=100 man -l "$root/share/man/man1/nozzle-cli.1" 2>&1 | grep -q -- "--scale LENGTH" || fail "man page"
grep -q "<svg" "$root/share/icons/hicolor/scalable/apps/nozzle-designer.svg" || fail "icon"
minor=$(/usr/bin/python3 -c 'import sys; print(sys.version_info.minor)')
site="lib/python3.$minor/dist-packages"
ls "$root/$site"/nozzle_designer.cpython-*.so >/dev/null 2>&1 || fail "not installed: the Python module under $site"

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/deb" >/dev/null
deb=$(ls "$work"/deb/nozzle-designer_*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
for package in libqt6widgets6 libqt6svg6 libstdc++6 python3-numpy "python3 (>= 3."; do
  [[ $depends == *"$package"* ]] || fail "Depends lacks $package: $depends"
done
[ "$(dpkg-deb -f "$deb" Section)" = science ] || fail "section"
dpkg-deb -x "$deb" "$work/unpacked"
"$work/unpacked/usr/bin/nozzle-cli" --n 2 --dir "$work" | head -1 | grep -qx "TetaMax  = 18.373" || fail "packaged nozzle-cli"
[ -s "$work/sonuc.txt" ] || fail "packaged nozzle-cli wrote no sonuc.txt"
# The STEP writer, when the build has it: the module the package carries, and the
# kernel's libraries among its dependencies.
if [ -f "$build/src/libnozzle_step.so" ]; then
  [ -f "$work/unpacked/usr/lib/nozzle-designer/libnozzle_step.so" ] || fail "not packaged: lib/nozzle-designer/libnozzle_step.so"
  [[ $depends == *libocct-data-exchange* ]] || fail "Depends lacks OpenCASCADE: $depends"
  "$work/unpacked/usr/bin/nozzle-cli" --n 7 --dir "$work" --step "$work/nozzle.step" >/dev/null || fail "packaged --step"
  head -1 "$work/nozzle.step" | grep -qx "ISO-10303-21;" || fail "packaged --step wrote no STEP file"
fi
# Debian's Python finds the module where the package puts it, and where cmake --install
# puts it under /usr/local.
for prefix in /usr /usr/local; do
  /usr/bin/python3 -c "import sys; sys.exit('$prefix/$site' not in sys.path)" ||
    fail "Debian's Python does not search $prefix/$site"
done
PYTHONPATH="$work/unpacked/usr/$site" /usr/bin/python3 -c \
  'import nozzle_designer; print(nozzle_designer.design(me=2.4, n=49).facts)' | grep -q "'teta_max': 18.373" ||
  fail "packaged Python module"
echo "installed files, desktop entry, man page and the .deb ($depends) are sound"
