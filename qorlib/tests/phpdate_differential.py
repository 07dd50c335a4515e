#!/usr/bin/env python3
"""Compares PHPDate with PHP's own date formatting on many random moments, every format
letter, in several zones. ctest runs it with 1000 cases per zone (and fails where php is missing);
run it by hand with more after changing the dates:

    python3 qorlib/tests/phpdate_differential.py build/bin/libqorlib145.so [cases per zone]

Moments are drawn over the whole supported range, over 1900..2100, and within hours of
each change of offset (where skipped and repeated wall-clock times are resolved). The
library is called through its C interface with TZ set (or unset) in the environment and
nothing else done, so it must notice each change of zone by itself. Prints every difference and ends
with status 1 if there was one.
"""
import ctypes
import datetime
import os
import random
import shutil
import subprocess
import sys

ZONES = [
    "UTC", "Europe/Berlin", "America/New_York", "Europe/London", "Europe/Dublin",
    "Asia/Kathmandu", "Australia/Lord_Howe", "Pacific/Apia", "Africa/Casablanca",
    "America/Sao_Paulo", "America/St_Johns", "Antarctica/Troll", "Europe/Moscow",
    "Pacific/Kiritimati", "Asia/Tokyo", None,  # None: TZ unset, the system's zone
]
LETTERS = "d|D|j|l|N|S|w|z|W|F|m|M|n|t|L|o|X|x|Y|y|a|A|B|g|G|h|H|i|s|u|v|e|I|O|P|p|T|Z|c|r|U|C"
FIRST = -59011459200  # 0100-01-01 00:00:00 as seconds since 1970, wall clock read as UTC
LAST = 253402300799  # 9999-12-31 23:59:59

# Reads "zone<TAB>wall<TAB>format" lines; writes one formatted line for each. "C" is the
# library's own letter (asctime() without its line break), written here by hand.
PHP = r"""
function formatted(DateTime $d, string $format): string {
    $out = ''; $segment = '';
    for ($i = 0; $i < strlen($format); $i++) {
        $c = $format[$i];
        if ($c === '\\' && $i + 1 < strlen($format)) {
            $segment .= $c . $format[++$i];
        } elseif ($c === 'C') {
            $out .= $d->format($segment); $segment = '';
            $out .= $d->format('D M ') . sprintf('%2d', (int)$d->format('j'))
                . $d->format(' H:i:s ') . (int)$d->format('Y');
        } else {
            $segment .= $c;
        }
    }
    return $out . ($segment === '' ? '' : $d->format($segment));
}
if ($argv[1] === 'transitions') {
    foreach (array_slice($argv, 2) as $zone) {
        $tz = new DateTimeZone($zone);
        foreach ($tz->getTransitions(-2208988800, 4102444800) as $t) {
            echo $zone, "\t", $t['ts'], "\t", $t['offset'], "\n";
        }
    }
    exit;
}
while (($line = fgets(STDIN)) !== false) {
    [$zone, $wall, $format] = explode("\t", rtrim($line, "\n"));
    date_default_timezone_set($zone);
    echo formatted(new DateTime($wall), $format), "\n";
}
"""


class QorText(ctypes.Structure):
    _fields_ = [("length", ctypes.c_size_t), ("data", ctypes.c_void_p)]


def wall_text(seconds, ms):
    moment = datetime.datetime(1970, 1, 1) + datetime.timedelta(seconds=seconds)
    return f"{moment.year:04d}-{moment:%m-%d %H:%M:%S}.{ms:03d}"


def date_value(seconds, ms):
    """The date value nearest to a wall-clock reading, the time of day a positive fraction."""
    total = (seconds + 25569 * 86400) * 1000 + ms
    per_day = 86400000
    if total >= 0:
        return total / per_day
    day, rest = divmod(total, per_day)
    return float(day) if rest == 0 else -((-day) * per_day + rest) / per_day


def random_format(rng):
    pool = list("dDjlNSwzWFmMntLoXxYyaABgGhHisuveIOPpTZcrUC") + list(" -:/,.|[]()Qk#")
    parts = []
    for _ in range(rng.randint(1, 12)):
        c = rng.choice(pool)
        parts.append("\\" + c if rng.random() < 0.15 else c)
    return "".join(parts)


def cases_for(zone, transitions, count, rng):
    for i in range(count):
        kind = i % 4
        if kind == 0:
            seconds = rng.randint(FIRST, LAST)
        elif kind == 1:
            seconds = rng.randint(-2208988800, 4102444800)
        elif transitions:
            at, offset = rng.choice(transitions)
            seconds = at + offset + rng.randint(-3 * 3600, 3 * 3600)
            seconds = min(max(seconds, FIRST), LAST)
        else:
            seconds = rng.randint(0, 2**31)
        ms = rng.randint(0, 999) if rng.random() < 0.3 else 0
        fmt = LETTERS if kind != 3 or rng.random() < 0.5 else random_format(rng)
        yield seconds, ms, fmt


def system_zone():
    """The name of the zone used with TZ unset, or None when the system does not say."""
    try:
        with open("/etc/timezone") as file:
            name = file.read().strip()
            if name:
                return name
    except OSError:
        pass
    try:
        target = os.readlink("/etc/localtime")
    except OSError:
        return None if os.path.exists("/etc/localtime") else "UTC"
    return target.split("zoneinfo/", 1)[1] if "zoneinfo/" in target else None


def main():
    if shutil.which("php") is None:
        print("php is missing: install php-cli (./testbed.sh test installs it)")
        return 1
    library = ctypes.CDLL(sys.argv[1])
    per_zone = int(sys.argv[2]) if len(sys.argv) > 2 else 20000
    library.PHPDate.restype = ctypes.POINTER(QorText)
    library.PHPDate.argtypes = [ctypes.c_double, ctypes.c_char_p]
    library.qor_text_free.argtypes = [ctypes.POINTER(QorText)]
    rng = random.Random(int(os.environ.get("SEED", "20240229")))
    php_zone = {zone: zone or system_zone() for zone in ZONES}
    php_zone = {zone: name for zone, name in php_zone.items() if name}

    listing = subprocess.run(["php", "-r", PHP, "transitions", *php_zone.values()], check=True,
                             capture_output=True, text=True).stdout
    transitions = {zone: [] for zone in php_zone.values()}
    for line in listing.splitlines():
        zone, at, offset = line.split("\t")
        transitions[zone].append((int(at), int(offset)))

    cases = [(zone, *case) for zone in php_zone
             for case in cases_for(zone, transitions[php_zone[zone]], per_zone, rng)]
    rng.shuffle(cases)  # the zone changes between most calls
    request = "".join(f"{php_zone[zone]}\t{wall_text(s, ms)}\t{fmt}\n"
                      for zone, s, ms, fmt in cases)
    answers = subprocess.run(["php", "-r", PHP, "format"], input=request, check=True,
                             capture_output=True, text=True).stdout.split("\n")

    failures = 0
    for (zone, seconds, ms, fmt), want in zip(cases, answers):
        # No tzset(): the library must see the change by itself.
        if zone:
            os.environ["TZ"] = zone
        else:
            os.environ.pop("TZ", None)
        result = library.PHPDate(date_value(seconds, ms), fmt.encode())
        got = ctypes.string_at(result.contents.data, result.contents.length).decode("latin-1")
        library.qor_text_free(result)
        if got != want:
            failures += 1
            if failures <= 30:
                where = [f"{l}: {g!r} != {w!r}" for l, g, w in
                         zip(fmt.split("|"), got.split("|"), want.split("|")) if g != w]
                print(f"{php_zone[zone]} {wall_text(seconds, ms)} {fmt!r}: {where or (got, want)}")
    print(f"{len(cases)} cases in {len(php_zone)} zones, {failures} differences")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
