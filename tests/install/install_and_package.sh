#!/usr/bin/env bash
# Installs the build under a scratch prefix and builds the Debian package,
# unpacks it, and solves an example with each installed tool (and the
# installed Python module, when built), far from the build folder, which must
# not be reached: the installed pieces find each other by relative paths.
# Arguments: BUILD_DIR SCRATCH_DIR [PYTHON]
set -euo pipefail
build=$1
scratch=$2
python=${3:-}
rm -rf "$scratch"
mkdir -p "$scratch"

fail() { echo "install test: $*" >&2; exit 1; }

# Runs the installed tool and module under PREFIX on the installed examples.
check_installation() {
    local prefix=$1
    local tool=$prefix/bin/quillon
    local examples=$prefix/share/quillon/examples
    [ -x "$tool" ] || fail "no tool at $tool"
    "$tool" solve "$examples/flash_drum/model.json" --format csv | grep -q '^V,V,11.1230' ||
        fail "$tool did not solve the flash drum"
    "$tool" --version | grep -qF "($prefix/lib/libquillon.so)" ||
        fail "$tool does not load the installed plug-in: $("$tool" --version)"
    if ldd "$tool" "$prefix"/lib/*.so | grep -qF "$build"; then
        fail "an installed file links to the build folder"
    fi
    if [ -n "$python" ]; then
        PYTHONPATH=$(echo "$prefix"/lib/python3/dist-packages) MPLBACKEND=Agg "$python" - "$prefix" <<'PY'
import os, sys
import quillon
prefix = os.path.realpath(sys.argv[1])
assert quillon.__file__.startswith(prefix), quillon.__file__
assert os.path.realpath(quillon.default_plugin()) == os.path.join(prefix, "lib", "libquillon.so"), quillon.default_plugin()
model = quillon.load(os.path.join(prefix, "share/quillon/examples/cstr/model.eq"))
assert model.solve().converged
PY
        ( cd "$scratch" && PYTHONPATH="$prefix/lib/python3/dist-packages" \
            "$python" "$prefix/share/quillon/examples/cstr_study.py" --steps 3 -o study.png >/dev/null ) ||
            fail "the installed example study failed"
    fi
}

cmake --install "$build" --prefix "$scratch/prefix" >/dev/null
check_installation "$scratch/prefix"

( cd "$scratch" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/package" >/dev/null )
package=$(echo "$scratch"/package/quillon_*.deb)
[ -f "$package" ] || fail "cpack made no package"
depends=$(dpkg-deb -f "$package" Depends)
echo "$depends" | grep -q "libklu" || fail "the package does not declare KLU: $depends"
if [ -n "$python" ]; then
    echo "$depends" | grep -q "python3-numpy" || fail "the package does not declare NumPy: $depends"
fi
dpkg -x "$package" "$scratch/unpacked"
check_installation "$scratch/unpacked/usr"
echo "installed, packaged ($(basename "$package")) and solved from both"
