#!/usr/bin/env python3
"""The quality benchmark's table, from the runs and quality logs that bench/quality/run writes."""
import math
import os
import re
import sys

results = sys.argv[1]
runs = []
for line in open(os.path.join(results, "runs")):
    source, runner, name, size, seconds, width, height, cpu, wall, key = line.rstrip("\n").split("\t")
    metrics = open(os.path.join(results, key + ".metrics"), errors="replace").read()
    ssim = re.search(r"SSIM Y:.* All:([0-9.]+)", metrics)
    psnr = re.search(r"PSNR y:.* average:([0-9.]+|inf)", metrics)
    if not ssim or not psnr:
        print(f"{runner} {name} on {source}: no quality figures", file=sys.stderr)
        continue
    runs.append(dict(source=source, runner=runner, name=name, size=int(size), seconds=float(seconds),
                     frame=f"{width}x{height}", cpu=float(cpu), wall=float(wall),
                     ssim=float(ssim.group(1)), psnr=float(psnr.group(1))))


def decibels(ssim):
    return math.inf if ssim >= 1 else -10 * math.log10(1 - ssim)


def label(run):
    return run["name"] if run["runner"] == "ours" else f'{run["runner"]} "{run["name"]}"'


for source in dict.fromkeys(r["source"] for r in runs):
    print(f"\n{source} source\n")
    print("| run | picture | size KB | kb/s | SSIM | SSIM dB | PSNR dB | CPU s | wall s | dominated by |")
    print("|---|---|---:|---:|---:|---:|---:|---:|---:|---|")
    here = [r for r in runs if r["source"] == source]
    for r in here:
        dominated = "-"
        if r["runner"] == "ours":
            # A peer of the same picture size that is smaller, better and cheaper at once.
            better = [label(p) for p in here if p["runner"] != "ours" and p["frame"] == r["frame"]
                      and p["size"] < r["size"] and p["ssim"] > r["ssim"] and p["cpu"] < r["cpu"]]
            dominated = ", ".join(better) or "none"
        print(f'| {label(r)} | {r["frame"]} | {r["size"] / 1000:.0f} | {r["size"] * 8 / r["seconds"] / 1000:.0f} '
              f'| {r["ssim"]:.4f} | {decibels(r["ssim"]):.2f} | {r["psnr"]:.2f} | {r["cpu"]:.1f} | {r["wall"]:.1f} '
              f'| {dominated} |')
