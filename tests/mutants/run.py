#!/usr/bin/env python3
"""Plants each fault of mutants.py in a scratch copy of the repository,
rebuilds it incrementally and runs every test binary, recording which tests
catch the fault. Python 3 standard library only.

    python3 tests/mutants/run.py [--blind [FILE]] [--only ID[,ID]] [--list] [--build-only] [--first]
                                   [--ignore-failing]
                                   [--scratch DIR] [--out FILE] [--timeout S]
"""
import argparse
import os
import re
import runpy
import shutil
import signal
import subprocess
import sys
import tempfile
import time
from pathlib import Path

HERE = Path(__file__).resolve().parent
REPO = Path(subprocess.run(["git", "rev-parse", "--show-toplevel"], cwd=HERE, check=True,
                           capture_output=True, text=True).stdout.strip())
# Test binaries (below the build folder) and how their output names a failure.
GTEST = re.compile(r"^\[  FAILED  \] (\S+\.\S+)")
QTEST = re.compile(r"^FAIL!\s+: \w+::(\w+)(\(.*?\))?")
CTEST = re.compile(r"^\s*\d+ - (\S+) \((?:Failed|Timeout|SEGFAULT|Subprocess aborted)\)")
TESTS = {
    "cartTests": ("tests/cartTests", ["--gtest_brief=1"], GTEST),
    "checkTests": ("tests/checkTests", ["--gtest_brief=1"], GTEST),
    "databaseTests": ("tests/databaseTests", ["--gtest_brief=1"], GTEST),
    "cliTests": ("tests/cliTests", ["--gtest_brief=1"], GTEST),
    "documentTests": ("tests/documentTests", ["--gtest_brief=1"], GTEST),
    "repairTests": ("tests/repairTests", ["--gtest_brief=1"], GTEST),
    "guiTests": ("tests/guiTests", [], QTEST),
    "layoutTests": ("tests/layoutTests", [], QTEST),
    # The programs' own tests (exit codes, options without a display), run by ctest.
    "commandTests": ("ctest", ["-L", "commands"], CTEST),
}
PROGRAMS = ["tallowick", "tallowick-cli"]
# The programs too, so that a fault in app/ or cli/main.cpp must at least build.
TARGETS = [name for name in TESTS if TESTS[name][0] != "ctest"] + PROGRAMS


def load_mutants(blind=None):
    # blind.py (or another file named after --blind): faults written by someone who had not
    # read the tests.
    mutants = (runpy.run_path(str(HERE / blind))["BLIND"] if blind
               else runpy.run_path(str(HERE / "mutants.py"))["MUTANTS"])
    ids = [m["id"] for m in mutants]
    duplicates = {i for i in ids if ids.count(i) > 1}
    if duplicates:
        sys.exit(f"duplicate mutant ids: {', '.join(sorted(duplicates))}")
    return mutants


def check_anchor(mutant, text):
    count = text.count(mutant["old"])
    if count != 1:
        sys.exit(f"{mutant['id']}: anchor not found exactly once in {mutant['file']} "
                 f"(found {count} times)")


def sync(src):
    """Copies the tracked files as they are in the working tree; only changed ones."""
    listed = subprocess.run(["git", "ls-files", "-z"], cwd=REPO, check=True,
                            capture_output=True).stdout.decode().split("\0")
    wanted = {name for name in listed if name and (REPO / name).is_file()}
    for name in wanted:
        source, target = REPO / name, src / name
        if not target.exists() or target.read_bytes() != source.read_bytes():
            target.parent.mkdir(parents=True, exist_ok=True)
            shutil.copy(source, target)  # a fresh time, so that the build sees the change
    for path in src.rglob("*"):
        if path.is_file() and str(path.relative_to(src)) not in wanted:
            path.unlink()


def build(src, out, targets=None):
    """Configures once and builds the targets (all by default); returns (ok, log tail)."""
    if not (out / "CMakeCache.txt").exists():
        generator = ["-G", "Ninja"] if shutil.which("ninja") else []
        subprocess.run(["cmake", "-S", str(src), "-B", str(out), *generator,
                        "-DCMAKE_BUILD_TYPE=RelWithDebInfo", "-DTALLOWICK_SANITIZE=",
                        "-DTALLOWICK_FUZZ=OFF"], check=True, stdout=subprocess.DEVNULL)
    done = subprocess.run(["cmake", "--build", str(out), "-j2", "--target", *(targets or TARGETS)],
                          capture_output=True, text=True)
    return done.returncode == 0, (done.stdout + done.stderr)[-3000:]


def run_test(out, name, timeout):
    """Runs one test binary; returns the names of what failed (empty: passed)."""
    binary, args, pattern = TESTS[name]
    with tempfile.TemporaryDirectory(prefix="mutant-run-") as tmp:
        Path(tmp).chmod(0o755)  # the tests become user nobody and need to get in
        runtime, temp = Path(tmp, "runtime"), Path(tmp, "tmp")
        runtime.mkdir(mode=0o700)
        temp.mkdir()
        temp.chmod(0o1777)
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen", XDG_RUNTIME_DIR=str(runtime),
                   TMPDIR=str(temp), QTEST_FUNCTION_TIMEOUT=str(timeout * 1000))
        command = (["ctest", "--test-dir", str(out), *args] if binary == "ctest"
                   else [str(out / binary), *args])
        process = subprocess.Popen(command, cwd=tmp, env=env, text=True,
                                   stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                                   start_new_session=True, errors="replace")
        try:
            output, _ = process.communicate(timeout=timeout)
        except subprocess.TimeoutExpired:
            os.killpg(process.pid, signal.SIGKILL)
            process.communicate()
            return [f"{name}: timeout"]
    failed = []
    for line in output.splitlines():
        match = pattern.match(line)
        if match:
            test = f"{name}: {''.join(g for g in match.groups() if g and g != '()')}"
            if test not in failed:
                failed.append(test)
    if process.returncode < 0:
        failed.append(f"{name}: crash ({signal.Signals(-process.returncode).name})")
    elif process.returncode != 0 and not failed:
        failed.append(f"{name}: exit {process.returncode}")
    return failed


def run_all(out, timeout, already=()):
    """What fails, leaving out what failed on the unchanged code already."""
    return [test for name in TESTS for test in run_test(out, name, timeout)
            if test not in already]


def first_catch(src, out, timeout, already=()):
    """Builds and runs one test binary at a time, stopping at the first that
    catches the fault; when none does, the programs must still build. Returns
    what caught it, "not caught" or "does not build"."""
    for name in TESTS:
        ok, log = build(src, out, PROGRAMS if TESTS[name][0] == "ctest" else [name])
        if not ok:
            print(log, flush=True)
            return "does not build"
        caught = [test for test in run_test(out, name, timeout) if test not in already]
        if caught:
            return "; ".join(caught)
    ok, log = build(src, out)
    if not ok:
        print(log, flush=True)
    return "not caught" if ok else "does not build"


def write_table(path, results, minutes, already=()):
    def cell(text):
        return text.replace("|", "\\|").replace("\n", " ")
    lines = ["| id | fault | caught by |", "|---|---|---|"]
    for mutant, caught in results:
        lines.append(f"| {mutant['id']} | {cell(mutant['fault'])} | {cell(caught)} |")
    lines += ["", summary(results, minutes, already)]
    Path(path).write_text("\n".join(lines) + "\n")


def summary(results, minutes, already=()):
    missed = [m["id"] for m, c in results if c == "not caught"]
    broken = [m["id"] for m, c in results if c == "does not build"]
    if all(c in ("builds", "does not build") for _, c in results):
        return "\n".join([
            f"Builds {len(results) - len(broken)} of {len(results)}, tests not run "
            f"({minutes:.1f} min).",
            f"Does not build (fix the list): {', '.join(broken) or 'none'}.",
        ])
    caught = len(results) - len(missed) - len(broken)
    return "\n".join([
        f"Caught {caught} of {len(results)} ({minutes:.1f} min).",
        f"Not caught: {', '.join(missed) or 'none'}.",
        f"Does not build (fix the list): {', '.join(broken) or 'none'}.",
    ] + ([f"Already failing without a fault (they catch nothing): {'; '.join(already)}."]
         if already else []))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--only", help="comma-separated mutant ids")
    parser.add_argument("--blind", nargs="?", const="blind.py", metavar="FILE",
                        help="a blind list (blind.py, or FILE beside run.py) instead of mutants.py")
    parser.add_argument("--list", action="store_true", help="list the mutants and stop")
    parser.add_argument("--scratch", help="scratch folder, kept and reused between runs")
    parser.add_argument("--out", help="markdown table of the results")
    parser.add_argument("--timeout", type=int, default=120, help="seconds per test binary")
    parser.add_argument("--ignore-failing", action="store_true",
                        help="go on when the unchanged code fails tests; those tests catch nothing")
    parser.add_argument("--first", action="store_true",
                        help="stop at the first test binary that catches each fault (faster; "
                             "the table then names that binary's failures only)")
    parser.add_argument("--build-only", action="store_true",
                        help="plant, build and restore each fault without running the tests")
    options = parser.parse_args()

    mutants = load_mutants(options.blind)
    if options.only:
        wanted = options.only.split(",")
        unknown = set(wanted) - {m["id"] for m in mutants}
        if unknown:
            sys.exit(f"unknown mutant ids: {', '.join(sorted(unknown))}")
        mutants = [m for m in mutants if m["id"] in wanted]
    if options.list:
        for m in mutants:
            print(f"{m['id']:32} {m['file']:22} {m['fault']}")
        return
    misplaced = [f"{m['id']}: {m['file']} holds its anchor {count} times"
                 for m in mutants
                 for count in [(REPO / m["file"]).read_text().count(m["old"])] if count != 1]
    if misplaced:
        sys.exit("anchors not found exactly once:\n  " + "\n  ".join(misplaced))

    scratch = Path(options.scratch or tempfile.mkdtemp(prefix="tallowick-mutants-")).resolve()
    src, out = scratch / "src", scratch / "build"
    started = time.monotonic()
    print(f"scratch {scratch}: copying and building the unchanged code", flush=True)
    sync(src)
    ok, log = build(src, out)
    if not ok:
        sys.exit(f"the unchanged code does not build:\n{log}")
    failing = [] if options.build_only else run_all(out, options.timeout)
    if failing and not options.ignore_failing:
        sys.exit(f"the unchanged code fails tests, nothing can be measured: {'; '.join(failing)}")
    if failing:
        print(f"  already failing, not counted as catching anything: {'; '.join(failing)}",
              flush=True)
    print(f"  {'it builds' if options.build_only else 'tests run'} "
          f"({time.monotonic() - started:.0f} s)", flush=True)

    results = []
    for number, mutant in enumerate(mutants, 1):
        began = time.monotonic()
        print(f"[{number}/{len(mutants)}] {mutant['id']}: {mutant['fault']}", flush=True)
        path = src / mutant["file"]
        original = path.read_bytes()
        check_anchor(mutant, original.decode())
        try:
            path.write_bytes(original.decode().replace(mutant["old"], mutant["new"]).encode())
            ok, log = (True, "") if options.first else build(src, out)
            if options.first and not options.build_only:
                caught = first_catch(src, out, options.timeout, failing)
            elif ok and options.build_only:
                caught = "builds"
            elif ok:
                caught = "; ".join(run_all(out, options.timeout, failing)) or "not caught"
            else:
                caught = "does not build"
                print(log, flush=True)
        finally:
            path.write_bytes(original)
        results.append((mutant, caught))
        print(f"  -> {caught} ({time.monotonic() - began:.0f} s)", flush=True)

    minutes = (time.monotonic() - started) / 60
    print("\n" + summary(results, minutes, failing))
    if options.out:
        write_table(options.out, results, minutes, failing)
        print(f"table: {options.out}")
    if not options.scratch:
        shutil.rmtree(scratch, ignore_errors=True)


if __name__ == "__main__":
    main()
