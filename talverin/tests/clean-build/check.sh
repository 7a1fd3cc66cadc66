#!/usr/bin/env bash
# A fresh build folder of this source tree, built with the `talverin` target alone, must be a
# working program folder: the five control plug-ins and their registry, zrreport, translations,
# help and data; and the program started from it (offscreen) must make all five controls.
# Arguments: source folder, startup probe plug-in, generator, C and C++ compilers, TALVERIN_WERROR,
# C, C++, program, shared-library and module linker flags (those of the build running the test).
set -euo pipefail
src=$1 probe=$2
work="$(mktemp -d -t talverin-clean-build.XXXXXX)"
trap 'rm -rf "$work"' EXIT
bin="$work/build/bin"

# No build type: the flags alone, unoptimised and without debug information, build fastest.
if ! cmake -S "$src" -B "$work/build" -G "$3" -DCMAKE_C_COMPILER="$4" -DCMAKE_CXX_COMPILER="$5" \
    -DTALVERIN_WERROR="$6" -DCMAKE_C_FLAGS="$7" -DCMAKE_CXX_FLAGS="$8" -DCMAKE_EXE_LINKER_FLAGS="$9" \
    -DCMAKE_SHARED_LINKER_FLAGS="${10}" -DCMAKE_MODULE_LINKER_FLAGS="${11}" -DCMAKE_BUILD_TYPE= \
    -DTALVERIN_BUILD_TESTS=OFF -DTALVERIN_BUILD_BENCH=OFF >"$work/configure.log" 2>&1; then
  cat "$work/configure.log"
  exit 1
fi
cmake --build "$work/build" --target talverin -j "${TALVERIN_JOBS:-$(nproc)}" >"$work/build.log" 2>&1 || { tail -n 40 "$work/build.log"; exit 1; }

failed=0
fail() { echo "clean build: $*"; failed=1; }
for f in talverin zrreport zrparam.so zrcn2.so zrslider.so zroscillo.so zrtermed.so Talverin.ini \
         translations/talverin_ja.qm translations/zrreport_ja.qm Help/cmd_mode.html Help_en/cmd_mode.html \
         report/report_io.html unit/kvx100.ini; do
  [ -e "$bin/$f" ] || fail "the program folder lacks $f"
done
classes="$(grep -cs '^\[CLSID' "$bin/components.ini" || true)"
[ "$classes" = 5 ] || fail "components.ini registers ${classes:-no} classes, not 5"

mkdir -p "$work/plugins/generic" "$work/home"
cp "$probe" "$work/plugins/generic/"
status=0
(cd "$bin" && env -u TALVERIN_COMPONENTS QT_QPA_PLATFORM=offscreen QT_PLUGIN_PATH="$work/plugins" \
   QT_QPA_GENERIC_PLUGINS=talverinprobe HOME="$work/home" XDG_DATA_HOME="$work/home" LC_ALL=C.UTF-8 \
   timeout 300 ./talverin >"$work/run.log" 2>&1) || status=$?
[ "$status" = 0 ] || fail "the program ended with status $status"
for widget in ParamWindow PinRowWidget SliderWidget ScopeWidget TerminalEdit; do
  grep -qx "probe: widget $widget" "$work/run.log" || fail "the program made no $widget"
done
if grep -q "could not be loaded\|is missing" "$work/run.log"; then
  fail "the program reported a missing control"
fi
[ "$failed" = 0 ] || { echo "--- program output"; cat "$work/run.log"; }
exit "$failed"
