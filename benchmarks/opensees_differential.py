#!/usr/bin/env python3
"""Runs the same varied sections through marrowick-batch twice, once with the
bundled solver and once with a real OpenSees, and prints how many recorder
files agree (every value within 1e-5 relative, 1e-12 absolute, and the same
line count) and how many "m-n.out" files are identical byte for byte.

The sections are drawn from a seeded generator, so a run can be repeated
exactly: strengths 15-80 MPa, hardening 0-0.05, residual strengths down to
0, meshes 15-80 mm, axial loads from tension to 80 % of the squash load,
4-30 axial segments. Needs an OpenSees binary, so it is not part of CI.

  benchmarks/opensees_differential.py --opensees PATH [--batch PATH]
      [--count 200] [--seed 2025] [--jobs 2] [--out DIR]

--batch defaults to build-bench/bin/marrowick-batch (benchmarks/study_bench.sh
builds it). The scripts and both sets of results stay in --out for a closer look;
each differing file is listed with its first differing line.
"""

import argparse
import math
import os
import random
import shutil
import subprocess
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
ABSOLUTE = 1e-12
RELATIVE = 1e-5


def draw_section(rng):
    """One section file's text; the keys are the window's, in its units."""
    fc = rng.uniform(15.0, 80.0)
    peak_strain = rng.uniform(0.0015, 0.003)
    # Residual strengths reach 0 now and then: a crushed fiber then carries
    # nothing, which is where the tangent goes singular.
    residual = 0.0 if rng.random() < 0.15 else rng.uniform(0.0, 0.6) * fc
    residual_strain = peak_strain + rng.uniform(0.0005, 0.006)
    fy = rng.uniform(235.0, 500.0)
    modulus = rng.uniform(195000.0, 210000.0)
    hardening = 0.0 if rng.random() < 0.15 else rng.uniform(0.0, 0.05)
    width = rng.randrange(250, 1201, 10)
    height = rng.randrange(250, 1201, 10)
    corner = rng.choice([12, 14, 16, 18, 20, 22, 25, 28, 32])
    cover = rng.randrange(max(20, corner // 2 + 10), 61)
    bars_x = rng.randrange(0, 5)
    bars_y = rng.randrange(0, 5)
    dia_x = rng.choice([10, 12, 14, 16, 18, 20, 22, 25, 28])
    dia_y = rng.choice([10, 12, 14, 16, 18, 20, 22, 25, 28])
    mesh = round(rng.uniform(15.0, 80.0), rng.choice([0, 1]))
    segments = rng.randrange(4, 31)
    curvature = rng.uniform(1e-5, 6e-5)

    # The squash load and the tension capacity, near enough to place the
    # axial load between them (compression negative, as the window takes it).
    bar = lambda d: math.pi * d * d / 4.0
    steel = 4 * bar(corner) + 2 * bars_x * bar(dia_x) + 2 * bars_y * bar(dia_y)
    squash = (fc * (width * height - steel) + fy * steel) / 1000.0
    tension = fy * steel / 1000.0
    axial = rng.uniform(-0.8 * squash, tension)

    return "\n".join([
        "[concrete]",
        f"peak_strength_MPa={fc:.4g}",
        f"peak_strain={peak_strain:.4g}",
        f"residual_strength_MPa={residual:.4g}",
        f"residual_strain={residual_strain:.4g}",
        "[steel]",
        f"yield_strength_MPa={fy:.4g}",
        f"elastic_modulus_MPa={modulus:.6g}",
        f"hardening_ratio={hardening:.3g}",
        "[section]",
        f"width_mm={width}",
        f"height_mm={height}",
        f"cover_mm={cover}",
        f"corner_bar_diameter_mm={corner}",
        f"bars_x={bars_x}",
        f"bar_diameter_x_mm={dia_x}",
        f"bars_y={bars_y}",
        f"bar_diameter_y_mm={dia_y}",
        f"fiber_size_mm={mesh:g}",
        "[analysis]",
        f"axial_force_kN={axial:.6g}",
        f"max_curvature_per_mm={curvature:.3g}",
        f"axial_segments={segments}",
        "",
    ])


def run_batch(batch, jobs, out, sections, solver=None):
    # No opensees.exe on PATH: without --solver the batch must take its own.
    env = dict(os.environ, PATH="/usr/bin:/bin")
    command = [str(batch), "--jobs", str(jobs), "--out", str(out), "--no-report",
               "--outputs", "recorders,scripts"]
    if solver:
        command += ["--solver", str(solver)]
    result = subprocess.run(command + [str(s) for s in sections], env=env,
                            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    return result.stderr.strip().splitlines()[-1:] or [""]


def first_difference(ours, theirs):
    """None when the files agree, else where they part ways."""
    a = ours.read_text().splitlines()
    b = theirs.read_text().splitlines()
    for number, (x, y) in enumerate(zip(a, b), start=1):
        xs, ys = x.split(), y.split()
        if len(xs) != len(ys):
            return f"line {number}: {len(xs)} values against {len(ys)}"
        for u, v in zip(map(float, xs), map(float, ys)):
            allowed = ABSOLUTE if abs(v) < ABSOLUTE else RELATIVE * abs(v)
            if not abs(u - v) <= allowed:
                return f"line {number}: {x.strip()} against {y.strip()}"
    if len(a) != len(b):
        return f"{len(a)} lines against {len(b)}"
    return None


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--opensees", required=True, type=Path)
    parser.add_argument("--batch", type=Path, default=ROOT / "build-bench/bin/marrowick-batch")
    parser.add_argument("--count", type=int, default=200)
    parser.add_argument("--seed", type=int, default=2025)
    parser.add_argument("--jobs", type=int, default=2)
    parser.add_argument("--out", type=Path, default=Path("differential"))
    args = parser.parse_args()

    out = args.out.resolve()
    shutil.rmtree(out, ignore_errors=True)
    (out / "sections").mkdir(parents=True)
    rng = random.Random(args.seed)
    sections = []
    for number in range(1, args.count + 1):
        path = out / "sections" / f"r{number:03d}.ini"
        path.write_text(draw_section(rng))
        sections.append(path)

    print("bundled: ", run_batch(args.batch, args.jobs, out / "bundled", sections)[0])
    print("OpenSees:", run_batch(args.batch, args.jobs, out / "opensees", sections,
                                 args.opensees.resolve())[0])

    recorders = equal_recorders = 0
    curves = equal_curves = 0
    for section in sections:
        ours_dir = out / "bundled" / section.stem
        theirs_dir = out / "opensees" / section.stem
        if not (ours_dir / "m-n.out").exists() or not (theirs_dir / "m-n.out").exists():
            print(f"{section.stem}: not run through by both")
            continue
        for ours in sorted(ours_dir.glob("*.out")):
            if not (theirs_dir / ours.name).exists():
                recorders += 1
                print(f"{section.stem}/{ours.name}: OpenSees wrote no such file")
        for theirs in sorted(theirs_dir.glob("*.out")):
            ours = ours_dir / theirs.name
            if theirs.name == "m-n.out":
                curves += 1
                if ours.read_bytes() == theirs.read_bytes():
                    equal_curves += 1
                else:
                    print(f"{section.stem}/m-n.out differs")
                continue
            recorders += 1
            why = first_difference(ours, theirs) if ours.exists() else "missing"
            if why is None:
                equal_recorders += 1
            else:
                print(f"{section.stem}/{theirs.name}: {why}")

    share = lambda part, whole: 100.0 * part / whole if whole else 0.0
    print(f"seed {args.seed}, {args.count} sections")
    print(f"recorder files equal: {equal_recorders} of {recorders} "
          f"({share(equal_recorders, recorders):.2f} %)")
    print(f"m-n.out identical:    {equal_curves} of {curves} "
          f"({share(equal_curves, curves):.2f} %)")
    return 0 if equal_recorders == recorders and equal_curves == curves else 1


if __name__ == "__main__":
    sys.exit(main())
