#!/usr/bin/env bash
# A private CUPS server for the printing tests: its own configuration, spool folder, socket and
# logs in one folder, with a PDF printer (cups-pdf) as its default destination. Every job's
# document stays in the spool folder. The system's own print service is neither used nor changed.
#
#   printserver.sh start DIR   starts the server; prints "CUPS_SERVER=DIR/cups.sock" and
#                              "PDF_OUTPUT=folder" (empty when cups-pdf cannot run here)
#   printserver.sh stop DIR    stops it (the socket file stays, as after a crash)
# A start also follows a server of DIR that crashed or was stopped.
#
# Exit code 77 when no CUPS server can run on this machine.
set -euo pipefail
command=${1:-} dir=${2:-}
[ -n "$command" ] && [ -n "$dir" ] || { echo "usage: $0 start|stop DIR" >&2; exit 2; }
queue=tarvo-pdf
PATH=$PATH:/usr/sbin
ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd

stop_server() {
  [ -s "$dir/cupsd.pid" ] || return 0
  local pid
  pid=$(cat "$dir/cupsd.pid")
  # After a crash the number may belong to another process by now.
  if ! tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null | grep -q "cupsd .*$dir/etc/"; then
    rm -f "$dir/cupsd.pid"
    return 0
  fi
  kill "$pid" 2>/dev/null || true
  for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.05; done
  kill -9 "$pid" 2>/dev/null || true
  rm -f "$dir/cupsd.pid"
}

# Writes the server's configuration; with "file" as argument its printer writes to a file
# instead of running cups-pdf.
write_configuration() {
  mkdir -p "$dir"/{etc/ppd,spool/tmp,run,cache,log,pdf}
  # Filters run as the user "lp" when the server runs as root: they must reach the spool folder.
  chmod 755 "$dir"
  local user="" group="" files=""
  if [ "$(id -u)" -eq 0 ]; then user="User lp" group="Group lp"; fi
  [ "${1:-}" = file ] && files="FileDevice Yes"
  cat >"$dir/etc/cups-files.conf" <<EOF
ServerRoot $dir/etc
RequestRoot $dir/spool
TempDir $dir/spool/tmp
StateDir $dir/run
CacheDir $dir/cache
DataDir /usr/share/cups
ServerBin /usr/lib/cups
AccessLog $dir/log/access_log
ErrorLog $dir/log/error_log
PageLog $dir/log/page_log
$user
$group
$files
SystemGroup $(id -gn)
FatalErrors config
EOF
  cat >"$dir/etc/cupsd.conf" <<EOF
Listen $dir/cups.sock
Browsing No
WebInterface No
PreserveJobFiles Yes
PreserveJobHistory Yes
LogLevel info
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOF
  # cups-pdf reads its settings from a fixed place in /etc; the server gets a private view of
  # that one file, so that its output lands in DIR/pdf.
  cat >"$dir/cups-pdf.conf" <<EOF
Out $dir/pdf
AnonDirName $dir/pdf
Spool $dir/spool/cups-pdf
Grp root
UserUMask 0022
AnonUMask 0022
EOF
}

# cups-pdf runs only as root, and only with its private settings.
can_run_cups_pdf() {
  [ "$(id -u)" -eq 0 ] && [ -x /usr/lib/cups/backend/cups-pdf ] && [ -f "$ppd" ] &&
    [ -f /etc/cups/cups-pdf.conf ] &&
    unshare --mount --propagation private true 2>/dev/null
}

start_server() {
  command -v cupsd >/dev/null || { echo "cupsd is not installed" >&2; exit 77; }
  [ -x /usr/sbin/lpadmin ] || { echo "lpadmin is not installed" >&2; exit 77; }
  stop_server
  local launcher=() pdf_output="" device=cups-pdf:/
  if can_run_cups_pdf; then
    write_configuration
    launcher=(unshare --mount --propagation private sh -c
      'mount --bind "$0" /etc/cups/cups-pdf.conf && exec "$@"' "$dir/cups-pdf.conf")
    pdf_output=$dir/pdf
  else
    write_configuration file
    device=file:///dev/null
  fi
  # A socket file left by a server that crashed would look like one that listens.
  rm -f "$dir/cups.sock"
  # The caller's print settings are no business of the server or its filters.
  env -u CUPS_SERVER -u PRINTER -u LPDEST "${launcher[@]}" \
    cupsd -f -c "$dir/etc/cupsd.conf" -s "$dir/etc/cups-files.conf" \
    >"$dir/log/cupsd.out" 2>&1 </dev/null &
  echo $! >"$dir/cupsd.pid"
  for _ in $(seq 100); do [ -S "$dir/cups.sock" ] && break; sleep 0.05; done
  if [ ! -S "$dir/cups.sock" ]; then
    echo "cupsd does not run here:" >&2
    cat "$dir/log/cupsd.out" "$dir/log/error_log" >&2 2>/dev/null || true
    stop_server
    exit 77
  fi
  export CUPS_SERVER=$dir/cups.sock CUPS_SERVERROOT=$dir/etc
  # lpadmin warns that PPD files are deprecated; only its errors are shown.
  if ! lpadmin -p "$queue" -E -v "$device" -P "$ppd" 2>"$dir/log/lpadmin.txt" ||
    ! lpadmin -d "$queue" 2>>"$dir/log/lpadmin.txt"; then
    cat "$dir/log/lpadmin.txt" >&2
    stop_server
    exit 1
  fi
  echo "CUPS_SERVER=$dir/cups.sock"
  echo "PDF_OUTPUT=$pdf_output"
}

case $command in
  start) start_server ;;
  stop) stop_server ;;
  *) echo "usage: $0 start|stop DIR" >&2; exit 2 ;;
esac
