#!/usr/bin/env bash
# The support page as a person uses it, under Wine against a simulated mouse and a real HTTP
# server on the loopback interface (Q350_UPDATE_SERVER): the software check with driver 1 (latest)
# and 2 (the question; Cancel changes nothing but update.xml); export, then an edited export
# imported back (record and slot fields, but not the file path) and applied; a file with a wrong
# first word refused; restore defaults downloads the defaults; the firmware check with server 7
# and mouse 1 downloads the served image byte for byte, starts the flasher, the program closes and
# the mouse reports firmware 7; an image with a changed byte, one signed by another key, a
# downgrade and a changed update.xml are each refused as not verified, nothing reaches the flasher
# and the mouse is untouched; a missing flasher keeps the program open with a message, at start-up
# with the mouse in its update mode and after the firmware check; a server that never answers ends
# the check in "Update failed" after 20 s with the window answering, and Cancel stops a slow
# image; a flasher
# stopped half-way leaves the mouse in its update mode, and the next start of the program hands it
# to the flasher again. Screenshots in both layouts.
set -uo pipefail
. "$(dirname "$0")/lib.sh"
e2e_page_test "$@"

INFO=QuorvQ300InfoDlg
PAGE_X=17
PAGE_Y=129

at() { input click "$E2E_TITLE" $(($1 + PAGE_X)) $(($2 + PAGE_Y)) || e2e_fail "no control at $1,$2"; }
support_tab() { input click "$E2E_TITLE" 840 102; }
# The six buttons (centres of their rectangles in page coordinates).
software_button() { at 156 278; }
firmware_button() { at 462 278; }
restore_button() { at 828 404; }
import_button() { at 178 404; }
export_button() { at 278 404; }
winepath_of() { echo "Z:${1//\//\\}"; }

# The program's messages reach the debugger output as "support page: TEXT" (Wine's seh channel);
# SEEN counts the lines of it already looked at.
SEEN=0
# box TEXT ANSWER [SHOT]: the skinned message box shows TEXT (one of the update messages; any box
# when TEXT is empty) and is answered with ok_notice (the notice form's OK), ok or cancel (the
# question form's buttons); "ok, next" does not wait for the box to go, since another follows.
box() {
  if ! input wait "$INFO" 15; then
    e2e_fail "no message box for '$1'"
    return 1
  fi
  sleep 0.5
  if [ -n "${3:-}" ]; then
    e2e_shot "$(xdotool search --onlyvisible --name "^$INFO\$" | head -n 1)" "$shots/$3.png"
  fi
  if [ -n "$1" ]; then
    local lines
    lines=$(grep -a "OutputDebugStringA \"support page: " "$debug" | tail -n +$((SEEN + 1)))
    SEEN=$(grep -a -c "OutputDebugStringA \"support page: " "$debug")
    [ "$(printf '%s\n' "$lines" | tail -n 1 | sed 's/.*support page: //; s/\\n"$//')" = "$1" ] ||
      e2e_fail "the message box is not '$1' (the page said: $lines)"
  fi
  case $2 in
    "ok, next") input click "$INFO" 211 143; sleep 1; return 0 ;;
    ok_notice) input click "$INFO" 273 143 ;;
    ok) input click "$INFO" 211 143 ;;
    cancel) input click "$INFO" 278 143 ;;
  esac
  input gone "$INFO" 10 || e2e_fail "the message box '$1' stayed open"
}
# file_dialog TITLE PATH: types a path into the system's file dialog.
file_dialog() {
  local dialog
  if dialog=$(e2e_window_id "$1" 20); then
    xdotool mousemove --window "$dialog" 150 150
    sleep 0.5
    xdotool key ctrl+a
    xdotool type --delay 20 "$(winepath_of "$2")"
    xdotool key Return
    input gone "$1" 10 || e2e_fail "the $1 dialog stayed open"
    sleep 0.5
  else
    e2e_fail "no $1 dialog"
  fi
}
shot() {
  e2e_pointer_away "$id"
  e2e_shot "$id" "$shots/$1.png"
}
# field FILE OFFSET: a signed 32-bit field of a file.
field() {
  /usr/bin/python3 -c 'import struct, sys; print(struct.unpack_from("<i", open(sys.argv[1], "rb").read(), int(sys.argv[2], 0))[0])' "$1" "$2"
}
# slot_field OFFSET: a signed 32-bit field of the active slot (profile 1) in the registry.
slot_field() {
  local reg="$app/config.reg"
  rm -f "$reg"
  q350_wine reg export 'HKLM\Software\QUORV\Q350Config' "$(winepath_of "$reg")" >/dev/null 2>&1
  /usr/bin/python3 - "$reg" "$1" <<'PY'
import re, struct, sys
text = open(sys.argv[1], "rb").read().decode("utf-16")
m = re.search(r'"ConfigInfo"=hex:([0-9a-f,\\\s]*)', text)
raw = bytes(int(h, 16) for h in re.findall(r"[0-9a-f]{2}", m.group(1)))
print(struct.unpack_from("<i", raw, int(sys.argv[2], 0))[0])
PY
}
firmware_of() { e2e_dump "$1" | awk '$1 == "firmware:" { print $2; exit }'; }
lift_of() { e2e_dump "$1" | awk '/lift-off value/ { print $4, $5, $6; exit }'; }

# ---- the update server: Python's http.server on 127.0.0.1 only, ending by itself ---------------
www="$Q350_BUILD_DIR/e2e/support-www"
rm -rf "$www"
mkdir -p "$www/software/q350" "$www/fw"
port=$(/usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
server_log="$www.log"
timeout 900 /usr/bin/python3 "$(dirname "$0")/update_server.py" "$port" "$www" >"$server_log" 2>&1 &
server_pid=$!
trap 'kill "$server_pid" 2>/dev/null || true; e2e_cleanup' EXIT
export Q350_UPDATE_SERVER="http://127.0.0.1:$port"
for _ in $(seq 50); do
  /usr/bin/python3 -c 'import socket, sys; socket.create_connection(("127.0.0.1", int(sys.argv[1])), 1)' "$port" 2>/dev/null && break
  sleep 0.1
done

# sign FILE [KEY]: FILE.sig beside it, by the test key unless another key file is named.
sign() {
  "$E2E_Q350CTL" update sign "${2:-$Q350_SOURCE_DIR/tests/keys/update_test_key.pem}" "$1" >/dev/null ||
    e2e_fail "cannot sign $1"
}
# serve DRIVER FIRMWARE: the server's update.xml, signed.
serve() {
  printf '<?xml version="1.0" encoding="utf-8"?>\r\n<update>\r\n  <current>\r\n    <driver>%s</driver>\r\n    <firmware>%s</firmware>\r\n  </current>\r\n  <newfile>\r\n    <driver>http://127.0.0.1:%s/Q350Setup.exe</driver>\r\n    <firmware>http://127.0.0.1:%s/fw/q350.bin</firmware>\r\n  </newfile>\r\n</update>\r\n' \
    "$1" "$2" "$port" "$port" >"$www/software/q350/update.xml"
  sign "$www/software/q350/update.xml"
}
# image VERSION SIZE [corrupt]: the served firmware image, signed; a corrupt one has a byte
# changed after it was signed.
image() {
  /usr/bin/python3 - "$www/fw/q350.bin" "$1" "$2" "${3:-}" <<'PY'
import struct, sys, zlib
path, version, size, corrupt = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), sys.argv[4]
payload = bytes((i * 31 + 7) & 0xFF for i in range(size))
body = b"Q350FWIM" + struct.pack("<II", version, size) + payload
data = bytearray(body + struct.pack("<I", zlib.crc32(body) & 0xFFFFFFFF))
open(path, "wb").write(data)
PY
  sign "$www/fw/q350.bin"
  if [ -n "${3:-}" ]; then
    /usr/bin/python3 -c 'import sys; d = bytearray(open(sys.argv[1], "rb").read()); d[100] ^= 0x40; open(sys.argv[1], "wb").write(d)' "$www/fw/q350.bin"
  fi
}

# start NAME [update-mode]: a fresh program folder and mouse, the program on its support page.
start() {
  app=$(e2e_app_folder "$1")
  state="$app/mouse.state"
  debug="$app/debug.log"
  SEEN=0
  e2e_new_mouse "$state" --firmware "${2:-1}"
  WINEDEBUG=-all,warn+seh Q350_TOOL_LOG="Z:$app/tools.log" e2e_start "$app/Q350Config.exe" 2>"$debug"
  app_pid=$E2E_PID
}
on_page() {
  if ! id=$(e2e_window_id "$E2E_TITLE" 60); then
    e2e_fail "$1: the main window did not appear"
    return 1
  fi
  sleep 1
  support_tab
  sleep 0.5
}

# ---- English layout: software check, export and import, restore --------------------------------
start support-page
if on_page "English"; then
  shot support-page
  [ -d "$app/update/new_version" ] || e2e_fail "the program folder has no update\\new_version"

  serve 1 1
  software_button
  box "Driver is the latest version." ok_notice
  cmp -s "$www/software/q350/update.xml" "$app/update/new_version/update.xml" ||
    e2e_fail "update.xml was not stored as served"

  serve 2 1
  software_button
  box "A new version of driver is available for the gaming mouse,whether to update or not?" \
    cancel support-question
  cmp -s "$www/software/q350/update.xml" "$app/update/new_version/update.xml" ||
    e2e_fail "the second update.xml was not stored"
  [ "$(ls "$app/update/new_version" | tr '\n' ' ')" = "update.xml update.xml.sig " ] ||
    e2e_fail "Cancel left more than update.xml and its signature: $(ls "$app/update/new_version" | tr '\n' ' ')"

  # A changed update.xml is not believed, and not kept.
  serve 2 1
  sed -i 's/<driver>2</<driver>3</' "$www/software/q350/update.xml"
  software_button
  box "The update could not be verified and was not used." ok_notice support-unverified
  cmp -s "$www/software/q350/update.xml" "$app/update/new_version/update.xml" &&
    e2e_fail "the changed update.xml was stored"

  # Export, then the export edited (mode 1's lift-off value, the slot's name, a macro id and a
  # file path elsewhere) and imported back.
  export_button
  file_dialog "Save As" "$app/exported.cfg"
  if [ "$(stat -c %s "$app/exported.cfg" 2>/dev/null)" != 134572 ]; then
    e2e_fail "the export file is not 134572 bytes"
  else
    cmp -s -n 132832 "$app/exported.cfg" "$app/Profile/Profile1.cfg" ||
      e2e_fail "the export does not begin with the profile"
    /usr/bin/python3 - "$app/exported.cfg" "$app/edited.cfg" "$(winepath_of "$app/elsewhere.cfg")" <<'PY'
import struct, sys
data = bytearray(open(sys.argv[1], "rb").read())
struct.pack_into("<i", data, 0x20608 + 4, 24)           # mode 1 lift-off value
slot = 132832
name = "Imported".encode("utf-16-le") + b"\0\0"
data[slot + 0x0C: slot + 0x0C + len(name)] = name
path = sys.argv[3].encode("utf-16-le") + b"\0\0"
data[slot + 0x214: slot + 0x214 + len(path)] = path
struct.pack_into("<i", data, slot + 0x624 + 4 * 3, 0x1234)  # button 3 of mode 0
open(sys.argv[2], "wb").write(data)
PY
    import_button
    file_dialog "Open" "$app/edited.cfg"
    apply "import"
    [ "$(field "$app/Profile/Profile1.cfg" 0x2060C)" = 24 ] ||
      e2e_fail "the imported lift-off value did not reach Profile1.cfg"
    [ ! -e "$app/elsewhere.cfg" ] || e2e_fail "the imported file path redirected the save"
    [ "$(slot_field $((0x624 + 12)))" = 4660 ] || e2e_fail "the imported macro id is not in the slot"
    [ "$(lift_of "$state")" = "16 24 16" ] || e2e_fail "the mouse holds lift-off $(lift_of "$state")"
  fi

  # A file whose first word is not the profile magic changes nothing.
  /usr/bin/python3 -c 'import sys; d = bytearray(open(sys.argv[1], "rb").read()); d[0] ^= 1; open(sys.argv[2], "wb").write(d)' \
    "$app/edited.cfg" "$app/wrong.cfg"
  profile_before=$(md5sum <"$app/Profile/Profile1.cfg")
  import_button
  file_dialog "Open" "$app/wrong.cfg"
  if info=$(e2e_window_id "Info" 15); then
    e2e_shot "$info" "$shots/support-invalid-profile.png"
    xdotool mousemove --window "$info" 20 20
    sleep 0.3
    xdotool key Return
    input gone "Info" 10 || e2e_fail "the invalid-profile message stayed open"
  else
    e2e_fail "no message for a file with a wrong first word"
  fi
  apply "after the refused import"
  [ "$(md5sum <"$app/Profile/Profile1.cfg")" = "$profile_before" ] ||
    e2e_fail "the refused import changed the profile"

  # Restore defaults: the question, then the defaults are downloaded and saved.
  before=$(mtime "$app/Profile/Profile1.cfg")
  restore_button
  box "" ok support-restore-question
  deadline=$((SECONDS + 30))
  while [ "$(mtime "$app/Profile/Profile1.cfg")" = "$before" ] && [ $SECONDS -lt $deadline ]; do
    sleep 0.3
  done
  sleep 0.5
  [ "$(field "$app/Profile/Profile1.cfg" 0x2060C)" = 16 ] ||
    e2e_fail "restore defaults did not save the default lift-off value"
  [ "$(lift_of "$state")" = "16 16 16" ] || e2e_fail "restore left the mouse at lift-off $(lift_of "$state")"
fi
input post "$E2E_TITLE" 16 0 0 2>/dev/null || true
e2e_exits "$app_pid" 20 || e2e_fail "the program did not end"

# ---- firmware: server 7, mouse 1 -------------------------------------------------------------
serve 1 7
image 7 5000
start support-firmware
if on_page "firmware"; then
  firmware_button
  box "A new version of firmware is available for the gaming mouse, whether to update or not?" ok
  e2e_exits "$app_pid" 60 || e2e_fail "the program did not close for the flasher"
  deadline=$((SECONDS + 60))
  while ! grep -q "FwFlash: " "$app/tools.log" 2>/dev/null && [ $SECONDS -lt $deadline ]; do sleep 0.3; done
  grep -q -- "FwFlash.exe.* -QUORV" "$app/tools.log" ||
    e2e_fail "the flasher was not started with -QUORV: $(cat "$app/tools.log" 2>/dev/null)"
  grep -q "FwFlash: firmware 7 written (5000 bytes)" "$app/tools.log" ||
    e2e_fail "the flasher did not program the mouse: $(grep FwFlash: "$app/tools.log" 2>/dev/null)"
  cmp -s "$www/fw/q350.bin" "$app/update/new_version/QuorvGameDevice.bin" ||
    e2e_fail "the stored image is not the served one"
  [ "$(firmware_of "$state")" = 7 ] || e2e_fail "the mouse reports firmware $(firmware_of "$state"), not 7"
fi

# ---- images that do not verify or do not fit are refused and the mouse stays as it was -------
# refused NAME: the firmware check of a fresh program refuses what is served.
refused() {
  start "support-$1"
  if on_page "$1"; then
    firmware_button
    box "A new version of firmware is available for the gaming mouse, whether to update or not?" \
      "ok, next"
    box "The update could not be verified and was not used." ok_notice "support-$1"
    sleep 1
    kill -0 "$app_pid" 2>/dev/null || e2e_fail "$1: the program closed"
    grep -q "FwFlash" "$app/tools.log" 2>/dev/null && e2e_fail "$1: the flasher started"
    [ ! -e "$app/update/new_version/QuorvGameDevice.bin" ] || e2e_fail "$1: the image was stored"
    ls "$app/update/new_version" | grep -q download && e2e_fail "$1: a temporary download was left behind"
    [ "$(firmware_of "$state")" = 1 ] || e2e_fail "$1: the mouse changed"
    input post "$E2E_TITLE" 16 0 0 2>/dev/null || true
    e2e_exits "$app_pid" 20 || e2e_fail "$1: the program did not end"
  fi
}
image 7 5000 corrupt
refused tampered
image 7 5000
sign "$www/fw/q350.bin" "$Q350_SOURCE_DIR/tests/keys/other_key.pem"
refused other-key
# Signed, but older than announced: no step back.
image 6 5000
refused downgrade

# ---- a flasher stopped half-way leaves the mouse in its update mode; the next start of the
# program hands it to the flasher again, which finishes ------------------------------------------
serve 1 8
image 8 5000
flasher_notes() { grep -c "FwFlash: " "$app/tools.log" 2>/dev/null || true; }
wait_flasher_notes() {
  local deadline=$((SECONDS + 60))
  while [ "$(flasher_notes)" -lt "$1" ] && [ $SECONDS -lt $deadline ]; do sleep 0.3; done
}
Q350_FLASH_STOP_AFTER=2 start support-interrupted
if on_page "interrupted flasher"; then
  firmware_button
  box "A new version of firmware is available for the gaming mouse, whether to update or not?" ok
  e2e_exits "$app_pid" 60 || e2e_fail "the program did not close for the flasher"
  wait_flasher_notes 1
  grep -q "FwFlash: stopped after 2048 bytes" "$app/tools.log" ||
    e2e_fail "the flasher was not stopped half-way: $(grep FwFlash: "$app/tools.log" 2>/dev/null)"
  [ "$(firmware_of "$state")" = 0 ] || e2e_fail "the stopped flasher left firmware $(firmware_of "$state")"
  Q350_TOOL_LOG="Z:$app/tools.log" e2e_start "$app/Q350Config.exe"
  e2e_exits "$E2E_PID" 60 || e2e_fail "the program did not hand the mouse in update mode over"
  wait_flasher_notes 2
  grep -q "FwFlash: firmware 8 written (5000 bytes)" "$app/tools.log" ||
    e2e_fail "the second flasher did not finish: $(grep FwFlash: "$app/tools.log" 2>/dev/null)"
  [ "$(firmware_of "$state")" = 8 ] || e2e_fail "the mouse reports $(firmware_of "$state"), not 8"
fi

# ---- a flasher that cannot be started strands nothing: the program stays open, says so, and
# tries it only once in a run ----------------------------------------------------------------------
FLASHER_FAILED="The firmware could not be updated; the mouse is in its update mode. Unplug it and plug it in again, or reinstall the program."
# flasher_box: the message box with the flasher's failure.
flasher_box() {
  if input wait "$INFO" 30; then
    sleep 0.5
    [ -n "${1:-}" ] && e2e_shot "$(xdotool search --onlyvisible --name "^$INFO\$" | head -n 1)" "$shots/$1.png"
    grep -a -q "flasher: $FLASHER_FAILED" "$debug" || e2e_fail "the box is not the flasher's failure"
    input click "$INFO" 273 143
    input gone "$INFO" 10 || e2e_fail "the flasher's failure stayed open"
  else
    e2e_fail "no message that the flasher could not start"
  fi
}
serve 1 7
image 7 5000
# A mouse in its update mode at start-up, and no flasher.
app=$(e2e_app_folder support-no-flasher-start)
state="$app/mouse.state"
debug="$app/debug.log"
rm -f "$app/update/FwFlash.exe"
e2e_new_mouse "$state" --firmware 0
WINEDEBUG=-all,warn+seh e2e_start "$app/Q350Config.exe" 2>"$debug"
app_pid=$E2E_PID
flasher_box support-no-flasher
sleep 2
kill -0 "$app_pid" 2>/dev/null || e2e_fail "the program closed without a flasher"
input post "$E2E_TITLE" 16 0 0 2>/dev/null || true
e2e_exits "$app_pid" 20 || e2e_fail "the program without a flasher did not end"

# The firmware check of a mouse in normal operation, and no flasher.
start support-no-flasher-check
rm -f "$app/update/FwFlash.exe"
if on_page "no flasher"; then
  firmware_button
  box "A new version of firmware is available for the gaming mouse, whether to update or not?" \
    "ok, next"
  flasher_box
  sleep 1
  kill -0 "$app_pid" 2>/dev/null || e2e_fail "the program closed after the flasher failed"
  [ "$(firmware_of "$state")" = 1 ] || e2e_fail "the mouse changed without a flasher"
  input post "$E2E_TITLE" 16 0 0 2>/dev/null || true
  e2e_exits "$app_pid" 20 || e2e_fail "the program did not end"
fi

# ---- a server that takes the connection and never answers ends the check in "Update failed"
# after the stall limit, while the window keeps answering; Cancel stops a slow image ---------------
PROGRESS=QuorvQ300ProcessDlg
serve 1 7
image 7 5000
start support-hang
if on_page "hanging server"; then
  touch "$www/software/q350/update.xml.hang"
  began=$SECONDS
  software_button
  input wait "$PROGRESS" 15 || e2e_fail "no progress dialog while update.xml is fetched"
  sleep 3
  input responds "$E2E_TITLE" || e2e_fail "the main window does not answer during the download"
  e2e_shot "$(xdotool search --onlyvisible --name "^$PROGRESS\$" | head -n 1)" "$shots/support-download-progress.png"
  if input wait "$INFO" 40; then
    took=$((SECONDS - began))
    [ "$took" -ge 18 ] && [ "$took" -le 40 ] || e2e_fail "the stalled check ended after ${took}s"
    box "Update failed" ok_notice
  else
    e2e_fail "a server that never answers did not end the check"
  fi
  rm -f "$www/software/q350/update.xml.hang"
  input responds "$E2E_TITLE" || e2e_fail "the main window does not answer after the stall"

  touch "$www/fw/q350.bin.slow"
  firmware_button
  box "A new version of firmware is available for the gaming mouse, whether to update or not?" \
    "ok, next"
  if input wait "$PROGRESS" 15; then
    sleep 3
    began=$SECONDS
    input click "$PROGRESS" 262 68
    box "New-version firmware download failed." ok_notice
    [ $((SECONDS - began)) -le 10 ] || e2e_fail "Cancel took $((SECONDS - began))s"
  else
    e2e_fail "no progress dialog while the image is fetched"
  fi
  rm -f "$www/fw/q350.bin.slow"
  sleep 1
  kill -0 "$app_pid" 2>/dev/null || e2e_fail "the program closed after Cancel"
  grep -q "FwFlash" "$app/tools.log" 2>/dev/null && e2e_fail "the flasher started after Cancel"
  [ ! -e "$app/update/new_version/QuorvGameDevice.bin" ] || e2e_fail "a cancelled image was stored"
  # The given-up transfer ends by itself within moments and takes its part file with it.
  for _ in $(seq 20); do ls "$app/update/new_version" | grep -q part || break; sleep 0.5; done
  ls "$app/update/new_version" | grep -q part && e2e_fail "a part of the cancelled image was left behind"
  input post "$E2E_TITLE" 16 0 0 2>/dev/null || true
  e2e_exits "$app_pid" 20 || e2e_fail "the program did not end"
fi

# ---- Chinese layout ------------------------------------------------------------------------------
serve 2 1
app=$(e2e_app_folder support-page-chinese)
state="$app/mouse.state"
debug="$app/debug.log"
e2e_new_mouse "$state" --firmware 12
printf '[languagetype]\r\nvalue=1\r\n' >"$app/skins/languagetype.ini"
WINEDEBUG=-all,warn+seh e2e_start "$app/Q350Config.exe" 2>"$debug"
app_pid=$E2E_PID
if on_page "Chinese"; then
  shot support-page-chinese
  software_button
  if input wait "$INFO" 15; then
    sleep 0.5
    e2e_shot "$(xdotool search --onlyvisible --name "^$INFO\$" | head -n 1)" "$shots/support-question-chinese.png"
    input click "$INFO" 278 143
    input gone "$INFO" 10 || e2e_fail "the Chinese question stayed open"
  else
    e2e_fail "no Chinese question"
  fi
fi
input post "$E2E_TITLE" 16 0 0 2>/dev/null || true
e2e_exits "$app_pid" 20 || e2e_fail "the Chinese program did not end"

e2e_finish
