#!/usr/bin/env python3
"""Writes a large line-printer report of a given type and size.

usage: gen_report.py TYPE MIB OUT    (TYPE: cc, ff, plain)
Pages of 60 lines of 132 columns, like a bank's daily register.
"""
import sys

kind, mib, out = sys.argv[1], int(sys.argv[2]), sys.argv[3]
target = mib * 1024 * 1024
detail = []
for i in range(600):
    detail.append(" %08d  CUSTOMER %-20s  2026-12-%02d  %-4s  %14.2f  %14.2f  BRANCH %04d%s" % (
        10000000 + i * 7919 % 89999999, "NAME%05d" % (i * 37 % 99999), i % 28 + 1,
        "DR" if i % 3 else "CR", i * 13.37 % 9999, i * 101.5 % 99999, i % 1000, " " * 20))
detail = [d[:132] for d in detail]
with open(out, "wb") as f:
    written, page = 0, 0
    while written < target:
        page += 1
        head = "MORVANE SAVINGS BANK   DAILY REGISTER   PAGE %8d" % page
        if kind == "cc":
            lines = ["1" + head, "0" + "ACCOUNT   NAME" ] + [detail[(page * 60 + j) % 600] for j in range(58)]
            chunk = "\r\n".join(lines) + "\r\n"
        elif kind == "ff":
            lines = [head, "ACCOUNT   NAME"] + [detail[(page * 60 + j) % 600][1:] for j in range(58)]
            chunk = "\f" + "\r\n".join(lines) + "\r\n"
        else:
            lines = [head, "ACCOUNT   NAME"] + [detail[(page * 60 + j) % 600][1:] for j in range(58)]
            chunk = "\r\n".join(lines) + "\r\n"
        b = chunk.encode("latin-1")
        f.write(b)
        written += len(b)
