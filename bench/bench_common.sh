# Helpers of the bench scripts, sourced by them.

# Prints the median of each command of a hyperfine JSON export and the ratio
# of each to the first.
medians() {
  /usr/bin/python3 - "$1" <<'PY'
import json, statistics, sys
results = json.load(open(sys.argv[1]))["results"]
base = statistics.median(results[0]["times"])
for r in results:
    m = statistics.median(r["times"])
    print("  %-78s median %7.3f s  ratio %6.3f  (first / this %6.1f)" % (r["command"][:78], m, m / base, base / m))
PY
}

# Peak resident memory of a command per atom: the atom count, then the command.
peak() {
  local atoms=$1
  shift
  /usr/bin/time -v "$@" > /dev/null 2> time.txt
  awk -v atoms="$atoms" '/Maximum resident set size/ {printf "  peak memory %.0f bytes per atom (%d MB): %s\n", $NF * 1024 / atoms, $NF / 1024, cmd}' cmd="$*" time.txt
}

# Runs two commands alternately, run by run, so that a load that changes over
# minutes weighs on both alike; prints the median wall and CPU seconds of each
# and their ratios. Usage: alternate RUNS "command one" "command two"
alternate() {
  /usr/bin/python3 - "$@" <<'PY'
import shlex, statistics, subprocess, sys
runs, commands = int(sys.argv[1]), sys.argv[2:]
times = {c: [] for c in commands}
for _ in range(runs):
    for c in commands:
        out = subprocess.run(["/usr/bin/time", "-f", "%e %U %S"] + shlex.split(c),
                             stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True).stderr
        wall, user, system = map(float, out.strip().splitlines()[-1].split())
        times[c].append((wall, user + system))
base = None
for c in commands:
    wall = statistics.median(t[0] for t in times[c])
    cpu = statistics.median(t[1] for t in times[c])
    base = base or (wall, cpu)
    ratio = lambda first, this: "%5.1f" % (first / this) if this > 0 else "  n/a"  # /usr/bin/time counts 10 ms
    print("  alternated: %-66s wall %7.3f s (first / this %s)  CPU %7.3f s (first / this %s)"
          % (c[:66], wall, ratio(base[0], wall), cpu, ratio(base[1], cpu)))
PY
}
