#!/bin/sh
# Times the uninstaller on logs of 1,000, 10,000 and 100,000 file records:
#   bench/uninstall_bench.sh [BUILD]        (inside tools/test-session)
# For each size it lays out that many real files, 100 to a directory, with an
# install log naming every file and directory, copies the bare stub in as the
# uninstaller, and runs it through build/wintests/uninstall_bench.exe, which
# answers the boxes. It prints the seconds to the confirmation (process start,
# reading and sorting the log), from Yes to the summary (undoing every record),
# and the growth factor of each against the size before. The empty log's row
# is the fixed cost (process start, boxes); "net" is the undo time less its.
set -eu
build=$(cd "${1:-build}" && pwd)
stub=$build/stub-x64/stub-msvcrt-x64.exe
bench_exe=$build/wintests/uninstall_bench.exe
wine_run=$build/wintests/wine-run
work=$build/bench-uninstall
sizes=${UNINSTALL_BENCH_SIZES:-"0 1000 10000 100000"}
[ -f "$stub" ] && [ -f "$bench_exe" ] || { echo "uninstall bench: build the stubs and wintests first" >&2; exit 2; }

# Lays out n files and writes the log; prints the uninstaller's and the log's Windows paths.
prepare() {
  python3 - "$work/n$1" "$1" "$stub" <<'PY'
import os, shutil, sys
root, n, stub = sys.argv[1], int(sys.argv[2]), sys.argv[3]
shutil.rmtree(root, ignore_errors=True)
os.makedirs(root)
win = lambda p: "Z:" + p.replace("/", "\\")
lines = ["*** Installation started 2008/03/01 10:15 ***", "Source: C:\\Temp\\bench-setup.exe",
         "999 Root Key: HKEY_CURRENT_USER"]
for i in range(n):
    d = os.path.join(root, "pkg", "d%04d" % (i // 100))
    if i % 100 == 0:
        os.makedirs(d)
        lines.append("100 Made Dir: " + win(d))
    f = os.path.join(d, "module_%06d.py" % i)
    open(f, "w").close()
    lines.append("200 File Copy: " + win(f))
if n:
    os.makedirs(os.path.join(root, "pkg"), exist_ok=True)
    lines.append("100 Made Dir: " + win(os.path.join(root, "pkg")))
lines.append("*** Installation finished 2008/03/01 10:16 ***")
log = os.path.join(root, "bench-kitpack.log")
with open(log, "w", newline="\r\n") as out:
    out.write("\n".join(lines) + "\n")
exe = os.path.join(root, "Removebench.exe")
shutil.copyfile(stub, exe)
print(win(exe), win(log))
PY
}

printf '%-8s %11s %7s %8s %7s %8s %7s %8s %7s  %s\n' records to-confirm growth undo growth net growth total growth summary
prev_n=; prev_c=; prev_u=; prev_t=; prev_net=; base_u=
for n in $sizes; do
  set -- $(prepare "$n")
  exe_unix=$work/n$n/Removebench.exe
  # The removal batch inherits the output and prints into it: keep only the figures.
  result=$("$wine_run" "$bench_exe" "$1" "$2" 2>/dev/null | tr -d '\r' |
           grep -E '^[0-9]+[.][0-9]+ [0-9]+[.][0-9]+ ' || true)
  [ -n "$result" ] || { echo "uninstall bench: no result for $n records" >&2; exit 1; }
  c=${result%% *}; rest=${result#* }; u=${rest%% *}; summary=${rest#* }
  t=$(echo "$c $u" | awk '{printf "%.3f", $1 + $2}')
  [ "$n" -eq 0 ] && base_u=$u
  net=$(echo "$u ${base_u:-0}" | awk '{printf "%.3f", $1 - $2}')
  if [ -n "$prev_n" ] && [ "$prev_n" -gt 0 ]; then
    g() { echo "$1 $2" | awk '{ if ($2 > 0) printf "x%.1f", $1 / $2; else printf "-" }'; }
    gc=$(g "$c" "$prev_c"); gu=$(g "$u" "$prev_u"); gn=$(g "$net" "$prev_net"); gt=$(g "$t" "$prev_t")
  else
    gc=-; gu=-; gn=-; gt=-
  fi
  printf '%-8s %11s %7s %8s %7s %8s %7s %8s %7s  %s\n' "$n" "$c" "$gc" "$u" "$gu" "$net" "$gn" "$t" "$gt" "$summary"
  prev_n=$n; prev_c=$c; prev_u=$u; prev_t=$t; prev_net=$net
  # The uninstaller removes itself a moment after it ends.
  for _ in 1 2 3 4 5 6 7 8 9 10; do [ -e "$exe_unix.bat" ] || break; sleep 1; done
  rm -rf "$work/n$n"
done
