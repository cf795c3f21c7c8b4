#!/usr/bin/env python3
"""The whole-process install benchmark, under Wine (inside tools/test-session):

    install_bench.py BUILD [ROUNDS]

Installs the same package, the first 638 .py files of /usr/lib/python3.11
(11 MB, deflated), onto the prefix's C: drive four ways, taking turns round
after round (the order rotates, so no contestant always goes first):

    ours      the real stub and wizard, driven through its pages as a user
              would, with compilation off and no scripts
    mapping   our floor program: every file through a mapping of its final
              size, from memory
    write     our floor program: every file through WriteFile, from memory
    peer      the peer installer, built from the same tree by makensis, with
              a progress page that closes itself

KITPACK_BENCH_STUB names another stub to package in place of the build's
64-bit one (to compare a variant against the same floors).

For each run it takes the extraction span (the time between the first and the
last installed file's change time, divided by the number of files) and the
whole process's time (start to exit; for ours that includes going through the
wizard's pages). It prints medians and spreads (lowest to highest), and last:

    install-span-per-file-ms OURS MAPPING_FLOOR WRITE_FLOOR PEER
    install-ratio-mapping-floor R
    install-ratio-peer R
"""
import os
import shutil
import statistics
import subprocess
import sys

SOURCE = "/usr/lib/python3.11"
COUNT = 638
CONTESTANTS = ["ours", "mapping", "write", "peer"]


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


class bench:
    def __init__(self, build, here):
        self.build = os.path.abspath(build)
        self.here = here
        self.wine_run = os.path.join(self.build, "wintests", "wine-run")
        self.driver = os.path.join(self.build, "wintests", "install_bench.exe")
        self.work = os.path.join(self.build, "bench-install")
        prefix = os.environ.get("KITPACK_WINEPREFIX", os.path.join(self.build, "wintests", "wineprefix"))
        self.drive_c = os.path.join(prefix, "drive_c")
        self.runs = 0

    def prepare(self):
        shutil.rmtree(self.work, ignore_errors=True)
        os.makedirs(self.work)
        corpus = os.path.join(self.work, "corpus")
        subprocess.run([sys.executable, os.path.join(self.here, "install_corpus.py"), SOURCE,
                        str(COUNT), corpus], check=True)
        self.tree = os.path.join(corpus, "tree")
        self.listing = os.path.join(corpus, "files.txt")
        with open(self.listing) as f:
            self.files = [line.strip().replace("\\", "/") for line in f if line.strip()]
        self.ours = os.path.join(self.work, "ours-setup.exe")
        stub = os.environ.get("KITPACK_BENCH_STUB",
                              os.path.join(self.build, "stub-x64", "stub-msvcrt-x64.exe"))
        subprocess.run([os.path.join(self.here, "..", "tools", "mkpkg_kitpack"), "--stub", stub, "--tree",
                        self.tree, "--name", "bench", "--title", "Bench", "--target-compile", "0",
                        "--target-optimize", "0", "--install-script=", "--output", self.ours],
                       check=True)
        subprocess.run(["makensis", "-V1", "peer.nsi"], cwd=corpus, check=True,
                       stdout=subprocess.DEVNULL)
        self.peer = os.path.join(corpus, "peer-setup.exe")

    def wine(self, *args):
        done = subprocess.run([self.wine_run, self.driver] + list(args), stdout=subprocess.PIPE,
                              stderr=subprocess.STDOUT, text=True, errors="replace")
        if done.returncode != 0:
            raise RuntimeError("%s: %s" % (" ".join(args[:2]), done.stdout.strip()))
        return done.stdout

    def run(self, who):
        """One installation into a fresh folder: (span per file in ms, process seconds)."""
        self.runs += 1
        target = os.path.join(self.drive_c, "kitpack-bench", "%s-%d" % (who, self.runs))
        shutil.rmtree(os.path.dirname(target), ignore_errors=True)
        os.makedirs(target)
        win_target = "C:\\kitpack-bench\\%s-%d" % (who, self.runs)
        if who == "ours":
            out = self.wine("ours", windows_path(self.ours), win_target)
        elif who == "peer":
            out = self.wine("run", windows_path(self.peer), "/D=" + win_target)
        else:
            out = self.wine("run", windows_path(self.driver), "floor", who,
                            windows_path(self.listing), windows_path(self.tree + "/PURELIB"),
                            win_target)
        seconds = float(out.strip().splitlines()[-1])
        times = [os.stat(os.path.join(target, f)).st_ctime_ns for f in self.files]
        span_ms = (max(times) - min(times)) / 1e6
        shutil.rmtree(os.path.dirname(target), ignore_errors=True)
        return span_ms / len(self.files), seconds


def describe(values, unit, digits):
    return "median %.*f%s (%.*f .. %.*f)" % (digits, statistics.median(values),
                                           " " + unit if unit else "", digits, min(values),
                                           digits, max(values))


def main(argv):
    build = argv[1] if len(argv) > 1 else "build"
    rounds = int(argv[2]) if len(argv) > 2 else 5
    b = bench(build, os.path.dirname(os.path.abspath(__file__)))
    b.prepare()
    spans = {who: [] for who in CONTESTANTS}
    seconds = {who: [] for who in CONTESTANTS}
    for r in range(rounds):
        order = CONTESTANTS[r % len(CONTESTANTS):] + CONTESTANTS[:r % len(CONTESTANTS)]
        for who in order:
            span, whole = b.run(who)
            spans[who].append(span)
            seconds[who].append(whole)
    print("install of %d files (%s) on C:, %d rounds taking turns" % (COUNT, SOURCE, rounds))
    for who in CONTESTANTS:
        print("  %-8s span per file %s   whole process %s" %
              (who, describe(spans[who], "ms", 3), describe(seconds[who], "s", 3)))
    # The machine's pace drifts from round to round more than the contestants
    # differ; a round's own ratio is measured at one pace.
    for other in ("mapping", "peer"):
        paired = [o / m for o, m in zip(spans["ours"], spans[other])]
        print("  ours / %-7s within a round %s" % (other, describe(paired, "", 2)))
    median = {who: statistics.median(spans[who]) for who in CONTESTANTS}
    print("install-span-per-file-ms %.3f %.3f %.3f %.3f" %
          tuple(median[who] for who in CONTESTANTS))
    print("install-ratio-mapping-floor %.2f" % (median["ours"] / median["mapping"]))
    print("install-ratio-peer %.2f" % (median["ours"] / median["peer"]))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
