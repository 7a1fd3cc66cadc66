#!/usr/bin/env bash
# `cmake --install` of the build under test into a temporary prefix must lay the files out in the
# usual places, and the installed program, started from there offscreen (with the startup probe),
# must find its folders and make all five controls. Arguments: build folder, probe, the bin, lib
# and data folders relative to the prefix.
set -uo pipefail
work="$(mktemp -d -t talverin-install.XXXXXX)" && trap 'rm -rf "$work"' EXIT
prefix="$work/prefix" bin="$work/prefix/$3" lib="$work/prefix/$4" share="$work/prefix/$5"
cmake --install "$1" --prefix "$prefix" >"$work/log" 2>&1 || { tail -n 40 "$work/log"; exit 1; }
failed=0
fail() { echo "install: $*"; failed=1; }
for f in "$bin"/{talverin,zrreport,talverin-regcontrols,zrcomm-console}; do [ -x "$f" ] || fail "no program $f"; done
[ ! -e "$bin/talverin-drivesim" ] || fail "the simulated driver was installed"
for f in libtalverin-platform libtalverin-platform-qt libtalverin-component libzrcomm libzrcomm-qt libtalverin-model \
         talverin/zrparam talverin/zrcn2 talverin/zrslider talverin/zroscillo talverin/zrtermed; do
  [ -f "$lib/$f.so" ] || fail "no library $lib/$f.so"
done
for f in Talverin.ini unit/kvx100.ini start.bmp sample/kvx100_sample.zrd report/report_io.html \
         report_en/report_Parameter.html Help/cmd_mode.html Help_en/_RESOURCE/1_1_1_introduction.htm \
         translations/talverin_ja.qm translations/zrreport_ja.qm applications/talverin.desktop \
         mime/packages/talverin.xml icons/hicolor/scalable/apps/talverin.svg; do
  case "$f" in applications/* | mime/* | icons/*) path="$share/$f" ;; *) path="$share/talverin/$f" ;; esac
  [ -f "$path" ] || fail "no data file $path"
done
registry="$lib/talverin/components.ini"
[ "$(grep -cs '^\[CLSID' "$registry")" = 5 ] || fail "$registry does not register 5 classes"
! grep -q "$work" "$registry" || fail "$registry names the plug-ins by the install's absolute path"
[ -z "$(find "$prefix" -name "ZRCOMM*")" ] || fail "the install left a communication log behind"
# Started by its path from elsewhere, with nothing that points at the build.
mkdir -p "$work/plugins/generic" "$work/home" && cp "$2" "$work/plugins/generic/"
(cd / && env -u TALVERIN_COMPONENTS -u LD_LIBRARY_PATH QT_QPA_PLATFORM=offscreen QT_PLUGIN_PATH="$work/plugins" \
   QT_QPA_GENERIC_PLUGINS=talverinprobe HOME="$work/home" XDG_DATA_HOME="$work/home" LC_ALL=C.UTF-8 \
   timeout 300 "$bin/talverin" >"$work/log" 2>&1) || fail "the installed program ended with status $?"
for widget in ParamWindow PinRowWidget SliderWidget ScopeWidget TerminalEdit; do # mangled: <length><name>
  grep -qx "probe: widget [0-9]*$widget" "$work/log" || fail "the installed program made no $widget"
done
! grep -q -e "could not be loaded" -e "not registered" "$work/log" || fail "the installed program missed a control"
cmp -s "$work/home/mime/packages/talverin.xml" "$share/mime/packages/talverin.xml" ||
  fail "the installed MIME package differs from the one the program writes"
[ "$failed" = 0 ] || cat "$work/log"
exit "$failed"
