#!/usr/bin/env bash
# A fresh build folder of this source tree, built with the `talverin` target alone, must be a working
# program folder, and the program started there (offscreen, with the startup probe) must make all five
# controls. Arguments: source, probe, generator, C and C++ compilers, TALVERIN_WERROR, C, C++, program,
# shared-library and module linker flags; no build type, which builds fastest.
set -uo pipefail
work="$(mktemp -d -t talverin-clean-build.XXXXXX)" && trap 'rm -rf "$work"' EXIT && bin="$work/build/bin"
cmake -S "$1" -B "$work/build" -G "$3" -DCMAKE_C_COMPILER="$4" -DCMAKE_CXX_COMPILER="$5" -DTALVERIN_WERROR="$6" \
  -DCMAKE_C_FLAGS="$7" -DCMAKE_CXX_FLAGS="$8" -DCMAKE_EXE_LINKER_FLAGS="$9" -DCMAKE_SHARED_LINKER_FLAGS="${10}" \
  -DCMAKE_MODULE_LINKER_FLAGS="${11}" -DCMAKE_BUILD_TYPE= -DTALVERIN_BUILD_TESTS=OFF -DTALVERIN_BUILD_BENCH=OFF \
  >"$work/log" 2>&1 && cmake --build "$work/build" --target talverin -j "${TALVERIN_JOBS:-$(nproc)}" >"$work/log" 2>&1 ||
  { tail -n 40 "$work/log"; exit 1; }
failed=0
fail() { echo "clean build: $*"; failed=1; }
for f in talverin zrreport zrparam.so zrcn2.so zrslider.so zroscillo.so zrtermed.so Talverin.ini unit/kvx100.ini \
         translations/talverin_ja.qm translations/zrreport_ja.qm Help/cmd_mode.html report/report_io.html \
         Help_en/_RESOURCE/1_1_1_introduction.htm Help/_RESOURCE/3_6_1_Oscilloscope_screen_j.htm; do
  [ -e "$bin/$f" ] || fail "the program folder lacks $f"
done
[ "$(grep -cs '^\[CLSID' "$bin/components.ini")" = 5 ] || fail "components.ini does not register 5 classes"
mkdir -p "$work/plugins/generic" "$work/home" && cp "$2" "$work/plugins/generic/"
(cd "$bin" && env -u TALVERIN_COMPONENTS QT_QPA_PLATFORM=offscreen QT_PLUGIN_PATH="$work/plugins" \
   QT_QPA_GENERIC_PLUGINS=talverinprobe HOME="$work/home" XDG_DATA_HOME="$work/home" LC_ALL=C.UTF-8 \
   timeout 300 ./talverin >"$work/log" 2>&1) || fail "the program ended with status $?"
for widget in ParamWindow PinRowWidget SliderWidget ScopeWidget TerminalEdit; do # mangled: <length><name>
  grep -qx "probe: widget [0-9]*$widget" "$work/log" || fail "the program made no $widget"
done
! grep -q "could not be loaded" "$work/log" || fail "the program reported a missing control"
[ "$failed" = 0 ] || cat "$work/log"
exit "$failed"
