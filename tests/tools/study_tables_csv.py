#!/usr/bin/env python3
"""Reads the three study tables of pourwise-dose back with Python's csv module, as an analyst
would, with no options: the columns docs/study.md documents, every row whole, a protocol's name
holding a comma, quotes and non-ASCII letters read back as written, numbers that read as numbers,
and the tables agreeing with each other.

    study_tables_csv.py POURWISE_DOSE TEST_DATA_FOLDER STUDY_DOCS
"""

import csv
import hashlib
import io
import os
import subprocess
import sys
import tempfile

QUOTED_PROTOCOL = 'Arm "A", low dose \u2013 \u00b5'
REFERENCES = ["v1-alcohol.csv", "v1-breath.csv", "v1-placebo.csv",
              "v2-alcohol.csv", "v2-breath.csv", "v2-placebo.csv"]
HEADINGS = {"--sessions": "## The sessions table", "--readings": "## The readings table",
            "--achievement": "## The achievement table"}
# Columns whose every cell is a number or empty.
NUMBERS = {
    "--sessions": ["age", "height_cm", "weight_kg", "breath_ratio", "target", "alcohol_ml",
                   "mixer_ml", "total_ml", "ethanol_g_per_kg", "portions_planned",
                   "portions_served", "drinking_end_min", "observed_peak",
                   "observed_peak_at_min", "peak_vs_target", "expected_peak", "peak_band_low",
                   "peak_band_high", "descending_shown_at_min", "release_reached_at_min",
                   "booster_alcohol_ml", "booster_served_at_min", "corrections", "voids",
                   "peak_before_booster", "peak_before_booster_at_min", "boosted"],
    "--readings": ["entry", "at_min", "level", "level_bal", "expected", "difference"],
    "--achievement": ["sessions", "peak_mean", "peak_sd", "peak_min", "peak_max",
                      "peak_vs_target_mean", "within_10_percent", "within_20_percent",
                      "release_min_median", "boosters", "boosted"],
}

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)


def documented_columns(docs, heading):
    section = docs.split(heading, 1)[1].split("\n## ", 1)[0]
    return [line.split("`")[1] for line in section.splitlines() if line.startswith("| `")]


def with_quoted_protocol(reference):
    """v2-alcohol.csv under a protocol whose name needs quoting, with its end row made anew."""
    body, end = reference.rsplit(b"\r\n,end,", 1)
    body = body.replace(b",Arm A,", b',"' + QUOTED_PROTOCOL.replace('"', '""').encode() + b'",')
    body += b"\r\n"
    count_and_cells = end.rsplit(b",", 1)[0]
    digest = hashlib.sha256(body).hexdigest().encode()
    return body + b",end," + count_and_cells + b"," + digest + b"\r\n"


def table(dose, option, folder):
    run = subprocess.run([dose, option, folder], capture_output=True, check=False)
    check(run.returncode == 1, f"{option}: exit status {run.returncode}, not 1 for the garbage")
    check(b"ERROR: " in run.stderr, f"{option}: the garbage is not named on standard error")
    # As an analyst reads a file the table was written to: text in UTF-8, newline="".
    with io.TextIOWrapper(io.BytesIO(run.stdout), encoding="utf-8", newline="") as text:
        reader = csv.DictReader(text)
        rows = list(reader)
        return reader.fieldnames, rows


def main():
    dose, data, docs_path = sys.argv[1:4]
    with open(docs_path, encoding="utf-8") as file:
        docs = file.read()
    with tempfile.TemporaryDirectory() as folder:
        for name in REFERENCES:
            with open(os.path.join(data, name), "rb") as source:
                reference = source.read()
            with open(os.path.join(folder, name), "wb") as copy:
                copy.write(reference)
        with open(os.path.join(data, "v2-alcohol.csv"), "rb") as source:
            quoted = with_quoted_protocol(source.read())
        os.mkdir(os.path.join(folder, "arm"))
        with open(os.path.join(folder, "arm", "quoted.csv"), "wb") as file:
            file.write(quoted)
        with open(os.path.join(folder, "garbage.csv"), "wb") as file:
            file.write(b"not,a,record\n")

        tables = {}
        for option, heading in HEADINGS.items():
            header, rows = table(dose, option, folder)
            tables[option] = rows
            check(header == documented_columns(docs, heading),
                  f"{option}: header {header} is not as docs/study.md lists it")
            for row in rows:
                check(None not in row and None not in row.values(),
                      f"{option}: a row of another length than the header: {row}")
                for column, cell in row.items():
                    check(cell not in ("none", "nan", "NaN", "NA", "null"),
                          f"{option}: {column} is the word {cell!r}, not an empty cell")
                for column in NUMBERS[option]:
                    try:
                        if row[column]:
                            float(row[column])
                    except ValueError:
                        check(False, f"{option}: {column} {row[column]!r} is not a number")

    sessions, readings, achievement = (tables[option] for option in HEADINGS)
    files = [os.path.relpath(row["file"], folder) for row in sessions]
    check(files == sorted(REFERENCES + ["arm/quoted.csv", "garbage.csv"]),
          f"the sessions are not the folder's records in name order: {files}")

    garbage = [row for row in sessions if row["file"].endswith("garbage.csv")]
    check(len(garbage) == 1 and garbage[0]["status"] == "unreadable" and garbage[0]["problem"],
          "the garbage has no row saying why it is unreadable")
    check(all(not cell for column, cell in garbage[0].items()
              if column not in ("file", "status", "problem")),
          "the garbage's row holds more than its file, status and problem")

    quoted_rows = [row for row in sessions if row["file"].endswith("quoted.csv")]
    check(quoted_rows and quoted_rows[0]["protocol"] == QUOTED_PROTOCOL
          and quoted_rows[0]["status"] == "ok",
          f"the quoted protocol's session reads back as {quoted_rows}")
    check(any(row["protocol"] == QUOTED_PROTOCOL for row in readings),
          "the quoted protocol does not read back in the readings")
    check(any(row["protocol"] == QUOTED_PROTOCOL for row in achievement),
          "the quoted protocol does not read back in the achievement")

    # Each observed peak is one of its record's readings.
    for session in sessions:
        if session["observed_peak"]:
            check(any(reading["file"] == session["file"]
                      and reading["at_min"] == session["observed_peak_at_min"]
                      and reading["level"] == session["observed_peak"] for reading in readings),
                  f"{session['file']}: its observed peak is none of its readings")

    # A boosted session's own peak is one of its readings before the booster.
    for session in sessions:
        check((session["boosted"] == "1") == bool(session["booster_served_at_min"]),
              f"{session['file']}: boosted {session['boosted']!r} without a booster, or not")
        if session["peak_before_booster"]:
            check(int(session["peak_before_booster_at_min"])
                  < int(session["booster_served_at_min"]),
                  f"{session['file']}: its peak before the booster is after it")

    # Each group of the achievement counts the ok sessions of its protocol, beverage and gender
    # (the last two rows all of a beverage), and its highest peak is the highest of their own
    # peaks, before any booster, in g/100 ml.
    ok = [row for row in sessions if row["status"] == "ok"]

    def own_peak(session):
        if session["boosted"] == "1":
            return session["peak_before_booster"], session["peak_before_booster_at_min"]
        return session["observed_peak"], session["observed_peak_at_min"]

    def peak_bal(session):
        level, at_min = own_peak(session)
        return max(float(reading["level_bal"]) for reading in readings
                   if reading["file"] == session["file"]
                   and reading["at_min"] == at_min and reading["level"] == level)

    for group in achievement:
        members = [row for row in ok
                   if row["beverage"] == group["beverage"]
                   and (group["protocol"], group["gender"]) in
                   [("all", "all"), (row["protocol"], row["gender"])]]
        check(int(group["sessions"]) == len(members),
              f"group {group['protocol']}/{group['beverage']}/{group['gender']} counts "
              f"{group['sessions']} sessions, not {len(members)}")
        with_peak = [row for row in members if own_peak(row)[0]]
        if with_peak:
            check(float(group["peak_max"]) == max(peak_bal(row) for row in with_peak),
                  f"group {group['protocol']}/{group['beverage']}: peak_max {group['peak_max']}")
        boosted = sum(1 for row in members if row["boosted"] == "1")
        check(int(group["boosted"]) == boosted == int(group["boosters"]),
              f"group {group['protocol']}/{group['beverage']}: boosted {group['boosted']}")
        if group["beverage"] == "placebo":
            check(not group["peak_vs_target_mean"] and not group["within_10_percent"],
                  f"group {group['protocol']}/placebo/{group['gender']} has a ratio to the target")
    check([(row["protocol"], row["beverage"], row["gender"]) for row in achievement[-2:]]
          == [("all", "alcohol", "all"), ("all", "placebo", "all")],
          "the rows for all alcohol and all placebo sessions do not come last")

    for failure in failures:
        print("FAIL:", failure)
    print(f"{len(sessions)} sessions, {len(readings)} readings and {len(achievement)} "
          f"achievement rows read back; {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
