#!/usr/bin/env python3
"""Where the start-up time goes: reads a trace left by `BENCH_TRACE=1 bench/run.sh` and prints, for
each program, the median moment of each start-up step, in ms after its .exe was mapped.

Usage: bench/phases.py build/bench/trace-url.txt [warm-up rounds to skip, default 2]

The trace slows every program down (each logged line is a write), so the figures say in which
step the time goes and how the steps compare, not what the programs cost untraced.
"""
import re
import statistics
import sys

LINE = re.compile(r"^(\d+\.\d+):([0-9a-f]+):([0-9a-f]+):(.*)$")
HELPERS = {"bench\\url_recorder.exe", "system32\\explorer.exe", "bench\\bench_driver.exe"}


def from_program(text: str) -> bool:
    """A relayed call made by the program itself (it is mapped at 0x00400000), not by a system DLL."""
    return " ret=004" in text


# (step, what marks it); the first matching line of each process counts.
STEPS = [
    ("entry", lambda s: "Starting thread proc 004" in s),
    ("display driver", lambda s: "Loaded" in s and "winex11.drv" in s),
    ("COM ready", lambda s: "Ret  combase.CoInitializeEx" in s and from_program(s)),
    ("form window", lambda s: "Call user32.CreateWindowExW" in s
     and any(name in s for name in ('"TavroForm"', "BenchMinimalWindow", "BenchSameWorkWindow"))),
    ("first button", lambda s: "Call user32.CreateWindowExW" in s and 'L"Button"' in s),
    ("comctl32 6", lambda s: "Loaded" in s and "common-controls" in s),
    ("desktop query", lambda s: "Call shell32.SHGetFolderPathW" in s),
    ("ShellExecute", lambda s: re.search(r"Call shell32\.ShellExecute(Ex)?W", s) is not None),
    ("ShellExecute ret", lambda s: re.search(r"Ret  shell32\.ShellExecute(Ex)?W", s) is not None),
    ("ShowWindow", lambda s: "Call user32.ShowWindow" in s),
    ("UpdateWindow ret", lambda s: "Ret  user32.UpdateWindow" in s),
    ("message loop", lambda s: "Call user32.GetMessageW" in s),
]


def main() -> int:
    if len(sys.argv) < 2:
        print(__doc__)
        return 2
    skip = int(sys.argv[2]) if len(sys.argv) > 2 else 2
    processes = {}
    order = []
    with open(sys.argv[1], errors="replace") as trace:
        for line in trace:
            match = LINE.match(line)
            if not match:
                continue
            time, pid, text = float(match[1]), match[2], match[4]
            if "build_module Loaded" in text and "at 00400000" in text:
                # Folder and file: the same program started from two folders is two entries.
                path = re.search(r'L"([^"]+\.exe)"', text)
                parts = path[1].replace("\\\\", "\\").split("\\") if path else ["?"]
                processes[pid] = {"name": "\\".join(parts[-2:]), "mapped": time, "steps": {}}
                order.append(pid)
                continue
            process = processes.get(pid)
            if process is None:
                continue
            for step, marks in STEPS:
                relayed = "Call " in text or "Ret  " in text
                if step not in process["steps"] and marks(text) and (not relayed or from_program(text)):
                    process["steps"][step] = time
                    break

    # The URL reaching the handler: the recorder started after a program belongs to that program.
    last = None
    for pid in order:
        process = processes[pid]
        if process["name"] == "bench\\url_recorder.exe":
            if last is not None and "handler started" not in processes[last]["steps"]:
                processes[last]["steps"]["handler started"] = process["steps"].get("entry", process["mapped"])
        elif process["name"] not in HELPERS:
            last = pid

    by_program = {}
    for pid in order:
        if processes[pid]["name"] not in HELPERS:
            by_program.setdefault(processes[pid]["name"], []).append(processes[pid])
    names = [step for step, _ in STEPS] + ["handler started"]
    for name, runs in by_program.items():
        runs = runs[skip:]
        print(f"{name}: median ms after the .exe was mapped ({len(runs)} runs)")
        for step in names:
            values = [(run["steps"][step] - run["mapped"]) * 1000 for run in runs if step in run["steps"]]
            if values:
                print(f"  {step:18s} {statistics.median(values):7.1f}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
