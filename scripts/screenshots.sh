#!/usr/bin/env bash
# Takes the manual's pictures: runs the built program on a virtual screen (Xvfb, 1280x800)
# under openbox, drives it with xdotool and writes PNGs to docs/manual/images/ (Japanese) or
# docs/manual/en/images/ (English).
#
#   scripts/screenshots.sh [--lang ja|en] [BUILD]
#       --lang: the language of the windows and of the pictures (default ja; the variable
#               SCREENSHOTS_LANG gives it too); BUILD: the build folder (default build), whose
#               bin/ is used
#
# The menu keys and window titles the script needs are looked up in the English translation
# (translations/tavrenne_en.ts) when it takes the English pictures, so they follow its wording; a
# text not translated yet is shown, and found, in Japanese.
#
# The program runs from a temporary copy of bin/ with a temporary HOME and XDG folders, so the
# user's settings, cache and running Tavrenne are never touched.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
language=${SCREENSHOTS_LANG:-ja}
build=
while [ $# -gt 0 ]; do
  case $1 in
    --lang) [ $# -ge 2 ] || { echo "screenshots: --lang needs ja or en" >&2; exit 2; }
            language=$2; shift 2 ;;
    --lang=*) language=${1#--lang=}; shift ;;
    -*) echo "screenshots: unknown option $1 (usage: scripts/screenshots.sh [--lang ja|en] [BUILD])" >&2; exit 2 ;;
    *) [ -z "$build" ] || { echo "screenshots: one build folder only" >&2; exit 2; }
       build=$1; shift ;;
  esac
done
case $language in
  ja) out=$root/docs/manual/images manual=index.html ;;
  en) out=$root/docs/manual/en/images manual=en/index.html ;;
  *) echo "screenshots: --lang $language: not ja or en" >&2; exit 2 ;;
esac
build=${build:-build}
case $build in /*) ;; *) [ -d "$build" ] || build=$root/$build ;; esac
bin=$(cd "$build/bin" 2>/dev/null && pwd) || { echo "screenshots: no $build/bin (build first)" >&2; exit 1; }
[ -x "$bin/tavrenne" ] || { echo "screenshots: $bin/tavrenne is missing (build first)" >&2; exit 1; }
mkdir -p "$out"

# ---- what the script needs, from Debian -----------------------------------------------------
need=()
for pair in Xvfb:xvfb openbox:openbox xdotool:xdotool import:imagemagick xprop:x11-utils \
            xdpyinfo:x11-utils python3:python3; do
  command -v "${pair%%:*}" >/dev/null || need+=("${pair#*:}")
done
# A convert that is not ImageMagick's would not take -colors.
[ -x /usr/bin/convert ] || need+=(imagemagick)
if [ ${#need[@]} -gt 0 ]; then
  sudo=; [ "$(id -u)" -eq 0 ] || sudo=sudo
  mapfile -t need < <(printf '%s\n' "${need[@]}" | sort -u)
  echo "screenshots: installing ${need[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi

# ---- a private program folder, home and screen ---------------------------------------------
work=$(mktemp -d "${TMPDIR:-/tmp}/tavshots.XXXXXX")
pids=()
cleanup() {
  local p
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

prog=$work/prog
mkdir -p "$prog" "$work/locale" "$work/home" "$work/config" "$work/data" "$work/cache" "$work/run" "$work/files"
chmod 700 "$work/run"
cp -a "$bin/." "$prog/"
rm -rf "$prog/Cache" "$prog/Digest_Pass" "$prog/tavr2.ini" "$prog/ErrorLog.txt" "$prog/manual"
# The manual as it stands in the tree, which may be newer than the build's copy.
cp -a "$root/docs/manual" "$prog/manual"

export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
export XDG_CACHE_HOME=$work/cache XDG_RUNTIME_DIR=$work/run
# Dates, sizes and file types as on a Japanese (or an American English) desktop; the locale is
# compiled into the temporary folder when the system has not generated it. The windows' language
# is set as well by --lang, so a missing locale changes the dates' form but never the language.
locale_name=ja_JP
[ "$language" = en ] && locale_name=en_US
lang=C.UTF-8
if locale -a 2>/dev/null | grep -qix "$locale_name.utf-\\?8"; then
  lang=$locale_name.UTF-8
elif [ -e "/usr/share/i18n/locales/$locale_name" ] &&
     localedef -i "$locale_name" -f UTF-8 "$work/locale/$locale_name.UTF-8" 2>/dev/null; then
  export LOCPATH=$work/locale
  lang=$locale_name.UTF-8
fi
# (bash itself cannot see a locale compiled here; its warning is of no matter.)
export LANG=$lang LC_ALL=$lang LANGUAGE=$language QT_QPA_PLATFORM=xcb 2>/dev/null
unset DBUS_SESSION_BUS_ADDRESS WAYLAND_DISPLAY SESSION_MANAGER XDG_CURRENT_DESKTOP

display=
for n in $(seq 90 140); do
  if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then display=:$n; break; fi
done
[ -n "$display" ] || { echo "screenshots: no free display number" >&2; exit 1; }
export DISPLAY=$display
Xvfb "$DISPLAY" -screen 0 1280x800x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
xdpyinfo >/dev/null 2>&1 || { echo "screenshots: Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; exit 1; }
openbox >"$work/openbox.log" 2>&1 &
pids+=($!)
sleep 1

# ---- sample files ----------------------------------------------------------------------------
files=$work/files
if [ "$language" = en ]; then
  printf 'A file for the screenshots of Tavrenne.\n' >"$files/readme.txt"
else
  printf 'Tavrenne のスクリーンショット用のファイルです。\n' >"$files/readme.txt"
fi
for n in 1 2 3; do head -c $((n * 40000)) /dev/zero | tr '\0' "$n" >"$files/data$n.bin"; done
cp "$files/data1.bin" "$files/data1-copy.bin"
python3 "$root/scripts/sample_exe.py" "$files/sample.exe"
# A folder beside them, for the file dialogs' type column.
mkdir -p "$files/archive"
# Enough files that adding them keeps the batch window's adding dialog up for a picture.
many=$work/many
mkdir -p "$many"
(cd "$many" && seq -f 'file%05g.txt' 1 40000 | xargs touch)

# ---- helpers ---------------------------------------------------------------------------------
# Every start, and every later start that hands a file to the running window, in the language
# of the pictures whatever the settings say.
tavrenne=("$prog/tavrenne" --lang "$language")
program=
start() {   # start the program with the given arguments; sets $main to its main window
  # From the sample folder: the open dialog starts in the current folder until one is chosen.
  (cd "$files" && exec "${tavrenne[@]}" "$@") >>"$work/tavrenne.log" 2>&1 &
  program=$!
  pids+=("$program")
  main=$(wait_window "Tavrenne ")
  sleep 1.5
}

stop() {    # end the program as a logout would (it saves its settings), and wait for it
  [ -n "$program" ] || return 0
  kill "$program" 2>/dev/null || true
  wait "$program" 2>/dev/null || true
  program=
}

wait_window() {   # wait_window NAME-PART: the id of the first visible window whose name matches
  local id
  for _ in $(seq 100); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1) || true
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  echo "screenshots: no window named '$1'" >&2
  return 1
}

wait_new_active() {   # wait_new_active ID...: the focused window once it is none of the IDs
  local id known
  for _ in $(seq 150); do
    id=$(xdotool getactivewindow 2>/dev/null) || true
    if [ -n "$id" ]; then
      known=0
      for old in "$@"; do [ "$id" = "$old" ] && known=1; done
      [ $known = 0 ] && { sleep 0.8; echo "$id"; return 0; }
    fi
    sleep 0.1
  done
  echo "screenshots: no new window after $*" >&2
  return 1
}

wait_idle() {   # wait_idle PID LIMIT: until the process has used no processor time for 2 s
  local last='' now same=0
  for _ in $(seq "$2"); do
    now=$(awk '{print $14 + $15}' "/proc/$1/stat" 2>/dev/null) || return 1
    if [ "$now" = "$last" ]; then same=$((same + 1)); [ $same -ge 2 ] && return 0; else same=0; fi
    last=$now
    sleep 1
  done
  return 1
}

keys() { xdotool key --delay 120 "$@"; sleep 0.6; }

shown() {   # shown CONTEXT TEXT: what the windows show for the Japanese TEXT: its English in the
            # translation (CONTEXT's first, else any context's) in English, else TEXT itself
  if [ "$language" = ja ]; then printf '%s\n' "$2"; return 0; fi
  python3 - "$root/translations/tavrenne_en.ts" "$1" "$2" <<'PY'
import sys
import xml.etree.ElementTree as ET
ts, context, source = sys.argv[1:4]
own = other = None
for c in ET.parse(ts).getroot().iter("context"):
    for m in c.iter("message"):
        t = m.find("translation")
        if m.findtext("source") != source or t is None or not t.text:
            continue
        if t.get("type") in ("vanished", "obsolete"):
            continue
        if c.findtext("name") == context and own is None:
            own = t.text
        elif other is None:
            other = t.text
shown = own if own is not None else other if other is not None else source
print(shown)
PY
}

letter() {  # letter CONTEXT TEXT: the key that the "&" of TEXT, as shown, marks (lower case)
  local text
  text=$(shown "$1" "$2")
  text=${text//&&/}
  case $text in
    *'&'?*) text=${text#*&}; printf '%s\n' "${text:0:1}" | tr '[:upper:]' '[:lower:]' ;;
    *) echo "screenshots: no key marked in '$text' (for '$2')" >&2; return 1 ;;
  esac
}

shot() {    # shot WINDOW NAME [BELOW]: the window with the frame openbox draws around it and BELOW
            # more pixels under it (for a list that drops out of it), as NAME.png
  local id=$1 name=$2 below=${3:-0} X Y WIDTH HEIGHT l r t b
  # xwininfo, not xdotool: under a reparenting window manager xdotool counts the frame twice.
  read -r X Y WIDTH HEIGHT < <(xwininfo -id "$id" | awk '/Absolute upper-left X/ {x = $4}
    /Absolute upper-left Y/ {y = $4} /^ +Width:/ {w = $2} /^ +Height:/ {h = $2} END {print x, y, w, h}')
  read -r l r t b < <(xprop -id "$id" _NET_FRAME_EXTENTS | sed -n 's/.*= *//; s/,/ /gp')
  l=${l:-0} r=${r:-0} t=${t:-0} b=$((${b:-0} + below))
  import -window root -crop "$((WIDTH + l + r))x$((HEIGHT + t + b))+$((X - l))+$((Y - t))" +repage \
    "$work/shot.png"
  convert "$work/shot.png" -strip -dither None -colors 256 "PNG8:$out/$name.png"
  echo "screenshots: $name.png"
}

# ---- the keys of the menus and buttons used below, in the pictures' language -------------------
kFile=$(letter TTavrenne 'ファイル(&F)')
kBatch=$(letter TTavrenne '一括チェック(&A)...')
kTools=$(letter TTavrenne '追加機能(&T)')
kHashText=$(letter TTavrenne '文字列からハッシュ生成(&H)...')
kSame=$(letter TTavrenne '同一ファイルを検索(&S)...')
kDigest=$(letter TTavrenne 'Digest認証ツール(&D)...')
kOptions=$(letter TTavrenne '詳細設定(&C)...')
kHelp=$(letter TTavrenne 'ヘルプ(&H)')
kAbout=$(letter TTavrenne 'バージョン情報(&V)...')
kWork=$(letter Tallcheck '作業(&W)')
kAllDigests=$(letter Tallcheck '全取得(CRC32 MD5 SHA-1)(&A)')
kRename=$(letter Tallcheck 'ファイル名一括変更(&R)')
kTimeWalker=$(letter Tallcheck 'Time Walker(&T)')
kAdd=$(letter Tallcheck '追加(&A)...')
kAddFolder=$(letter Tallcheck 'フォルダから追加(&D)...')
kRun=$(letter Tallcheck '選択した作業を実行(&G)')
kExit=$(letter Tallcheck '終了(&X)')
verifyTitle=$(shown Tallcheck 'チェックサムの検証')

# ---- the pictures ----------------------------------------------------------------------------
# A first start writes tavr2.ini, so no later start shows the first-run notice.
start "$files/readme.txt"
stop

# The main window after analysing a file with all three digests.
start -a "$files/readme.txt"
shot "$main" main-window

# The open dialog (Ctrl+O), in the folder of the file last opened.
keys ctrl+o
dialog=$(wait_new_active "$main")
shot "$dialog" open-dialog
# The file types, dropped down.
xdotool mousemove --window "$dialog" 300 397 click 1
sleep 0.8
shot "$dialog" open-dialog-types 150
keys Escape
keys Escape

# SHA-256 chosen by its switch, with a SHA256SUMS beside the file: the row it adds and the
# list's verdict in the log.
stop
(cd "$files" && sha256sum readme.txt >SHA256SUMS)
start -2 "$files/readme.txt"
shot "$main" main-window-sha256
rm -f "$files/SHA256SUMS"

# A Windows program shows its own icon, version and copyright.
stop
start -a "$files/sample.exe"
shot "$main" exe-icon

# Later starts hand their file to this window; the recent files then list them in the File menu.
for f in readme.txt data1.bin sample.exe; do
  "${tavrenne[@]}" "$files/$f" >>"$work/tavrenne.log" 2>&1
  sleep 1.5
done
keys "alt+$kFile" Down Down Down Down Right
shot "$main" recent-files
keys Escape Escape Escape

# The about box.
keys "alt+$kHelp" "$kAbout"
about=$(wait_new_active "$main")
shot "$about" about-box
keys alt+F4

# String to MD5: Enter in the text field generates.
keys "alt+$kTools" "$kHashText"
tool=$(wait_new_active "$main")
xdotool type --delay 60 'Tavrenne'
keys Return
shot "$tool" string-md5
keys alt+F4

# The Digest password tool, with its options shown.
keys "alt+$kTools" "$kDigest"
tool=$(wait_new_active "$main")
xdotool type --delay 60 'taro'
keys Tab
xdotool type --delay 60 'private'
keys Tab
xdotool type --delay 60 'secret'
# " 拡張 " shows the options, reached with Tab (開く..., the work type, 拡張) and pressed with Space.
keys Tab Tab Tab space
sleep 0.8
shot "$tool" digest-tool
keys alt+F4
main=$(wait_window "Tavrenne ")

# The batch window after an all-three run over a few files.
keys "alt+$kFile" "$kBatch"
batch=$(wait_new_active "$main")
keys "alt+$kWork" "$kAllDigests"
keys "alt+$kAdd"
dialog=$(wait_new_active "$batch")
xdotool type --delay 30 "\"$files/data1.bin\" \"$files/data2.bin\" \"$files/data3.bin\" \"$files/readme.txt\""
keys Return
sleep 1
keys "alt+$kRun"
question=$(wait_new_active "$batch" "$dialog")
keys Return
# The closing message ("作業が完了しました"), then the list behind it.
wait_new_active "$batch" "$dialog" "$question" >/dev/null
keys Return
sleep 1
shot "$batch" batch-window
# The two work types with options of their own.
keys "alt+$kWork" "$kRename"
shot "$batch" batch-rename
keys "alt+$kWork" "$kTimeWalker"
shot "$batch" batch-timewalker
# The adding dialog, while the files of a large folder go into the list (the main window is
# hidden meanwhile, so the only window named for the program is the dialog).
keys "alt+$kAddFolder"
dialog=$(wait_new_active "$batch")
xdotool type --delay 20 "$many"
keys Return
question=$(wait_new_active "$batch" "$dialog")
shot "$question" message-box
xdotool key Return
adding=
for _ in $(seq 100); do
  adding=$(xdotool search --onlyvisible --name '^Tavrenne [0-9]' 2>/dev/null | head -n 1) || true
  [ -n "$adding" ] && break
  sleep 0.05
done
if [ -n "$adding" ]; then
  sleep 0.2
  shot "$adding" adding-dialog || echo "screenshots: the adding dialog closed before its picture" >&2
else
  echo "screenshots: no adding dialog seen; no picture of it" >&2
fi
wait_idle "$program" 60 || true
keys "alt+$kExit"
stop

# A checksum list handed to the running program: the batch window verifies the files it names,
# one of them changed and one gone.
verify=$work/verify
mkdir -p "$verify"
cp "$files/readme.txt" "$files/data1.bin" "$files/data2.bin" "$files/data3.bin" "$verify/"
(cd "$verify" && sha256sum readme.txt data1.bin data2.bin data3.bin >SHA256SUMS)
printf '%s  gone.bin\n' "$(sha256sum <"$files/data1.bin" | cut -d' ' -f1)" >>"$verify/SHA256SUMS"
printf 'changed' >>"$verify/data3.bin"
start "$files/readme.txt"
"${tavrenne[@]}" -l "$verify/SHA256SUMS" >>"$work/tavrenne.log" 2>&1
if batch=$(wait_window "$verifyTitle"); then
  sleep 1
  keys "alt+$kRun"
  question=$(wait_new_active "$batch")
  keys Return
  done_box=$(wait_new_active "$batch" "$question")
  shot "$done_box" batch-verify-done
  keys Return
  sleep 1
  shot "$batch" batch-verify
  keys "alt+$kExit"
else
  echo "screenshots: the list did not open the batch window; no pictures of it" >&2
fi
stop

# The duplicate search: its drive page, then its results (data1.bin has a copy beside it). A
# walk of a large disk is stopped after two minutes; the picture then shows what was found so far.
start "$files/data1.bin"
keys "alt+$kTools" "$kSame"
tool=$(wait_new_active "$main")
shot "$tool" duplicate-search
xdotool mousemove --window "$tool" 534 60 click 1     # 検索
wait_new_active "$main" "$tool" >/dev/null            # the question
keys Return
if ! wait_idle "$program" 120; then
  echo "screenshots: the duplicate search ran two minutes; stopped"
  xdotool mousemove --window "$tool" 454 357 click 1  # 中止
  wait_idle "$program" 60 || true
fi
shot "$tool" duplicate-results
stop

# The options dialog and a few of its pages: a click on the first node of the tree on its left,
# then the arrow keys, which keep the focus in the tree as they go from page to page.
start "$files/readme.txt"
# The Options menu is reached from the File menu, not by its own Alt key, which in English the
# main window's Open button may share.
keys "alt+$kFile" Right Right Right Right "$kOptions"
if options=$(wait_new_active "$main"); then
  xdotool mousemove --window "$options" 90 85 click 1
  sleep 1
  at=0
  for page in 0:options-basic 1:options-extra 3:options-association 5:reset 6:options-shortcut 10:options-report; do
    while [ $at -lt "${page%%:*}" ]; do keys Down; at=$((at + 1)); done
    sleep 0.6
    if [ "${page#*:}" = reset ]; then
      # The reset question, answered No.
      xdotool mousemove --window "$options" 268 348 click 1
      question=$(wait_new_active "$options")
      shot "$question" reset-question
      keys Escape
      # Back to the tree where the arrow keys left it.
      xdotool mousemove --window "$options" 90 $((85 + 18 * at)) click 1
      sleep 0.6
      continue
    fi
    shot "$options" "${page#*:}"
  done
  keys Escape
else
  echo "screenshots: the options dialog did not open; no pictures of it" >&2
fi
stop

# The manual's first page in a browser, when one is installed.
browser=()
profile=$work/browser
mkdir -p "$profile"
if command -v firefox-esr >/dev/null || command -v firefox >/dev/null; then
  browser=("$(command -v firefox-esr || command -v firefox)" --no-remote --new-instance --profile "$profile")
elif command -v chromium >/dev/null; then
  browser=(chromium --no-first-run --user-data-dir="$profile")
  [ "$(id -u)" -ne 0 ] || browser+=(--no-sandbox)
elif command -v netsurf-gtk >/dev/null; then
  browser=(netsurf-gtk)
elif command -v dillo >/dev/null; then
  browser=(dillo)
fi
if [ ${#browser[@]} -gt 0 ]; then
  "${browser[@]}" "file://$prog/manual/$manual" >"$work/browser.log" 2>&1 &
  page=$!
  pids+=("$page")
  view=
  for _ in $(seq 150); do
    view=$(xdotool search --onlyvisible --pid "$page" 2>/dev/null | tail -n 1) || true
    [ -n "$view" ] && break
    sleep 0.2
  done
  # A launcher script starts the browser under another process id.
  [ -n "$view" ] || view=$(xdotool getactivewindow 2>/dev/null) || true
  if [ -n "$view" ]; then
    xdotool windowsize "$view" 1000 740 windowmove "$view" 140 20
    sleep 4
    shot "$view" manual-index
  else
    echo "screenshots: ${browser[0]} showed no window; no picture of the manual" >&2
  fi
  kill "$page" 2>/dev/null || true
else
  echo "screenshots: no browser installed (firefox, chromium, netsurf or dillo); no picture of the manual"
fi

echo "screenshots: done ($out)"
