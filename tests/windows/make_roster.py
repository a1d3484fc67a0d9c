#!/usr/bin/env python3
"""Writes a roster of random participants to standard output, ordinary and hostile values mixed,
for comparing two builds of pourwise-dose row by row.

Usage: make_roster.py ROWS SEED [metric]"""
import random
import sys

rows, seed = int(sys.argv[1]), int(sys.argv[2])
metric = len(sys.argv) > 3 and sys.argv[3] == "metric"
rng = random.Random(seed)
odd = ["", "0", "-1", "abc", "1,5", "1e30", "-0", "nan", "inf", " 70", "0x10", "1e-40",
       "3.4028235e38", "\"7,0\"", "00070.500"]


def number(low, high):
    if rng.random() < 0.05:
        return rng.choice(odd)
    value = rng.uniform(low, high)
    return f"{value:.{rng.randint(0, 7)}f}"


height, weight = ("height_cm", "weight_kg") if metric else ("height", "weight")
print(f"id,gender,{height},{weight},age,bal,dd,proof,ratio")
for row in range(rows):
    gender = rng.choice(["m", "f", "male", "Female", "1", "0", "M", "x", ""])
    fields = [
        f"P{row}", gender,
        number(120, 230) if metric else number(40, 95),
        number(30, 230) if metric else number(60, 500),
        number(15, 105), number(0.001, 0.25), number(1, 300), number(1, 200),
        number(0, 25),
    ]
    print(",".join(fields))
