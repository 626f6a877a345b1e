"""The walls of three gases, planar and round, for Mach 3 with 49 waves: the picture
docs/python-walls.png of the README.

    python3 docs/python_walls.py [PNG]
"""
import sys

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt

import nozzle_designer as nd

gases = {"air": 1.4, "rocket exhaust": 1.2, "helium": "5/3"}
figure, axes = plt.subplots(1, 2, figsize=(10, 3.8))
for ax, round_ in zip(axes, (False, True)):
    for name, gamma in gases.items():
        d = nd.design(me=3, n=49, gamma=gamma, axisymmetric=round_)
        ax.plot(d.wall.x, d.wall.y, label=f"{name}, G = {d.gamma:.3g}: exit {d.facts['exit_height']:.3f}")
    ax.set_title(f"{'Round' if round_ else 'Planar'} nozzle, Me 3, N 49")
    unit = "throat radius" if round_ else "throat half-height"
    ax.set_xlabel(f"x / {unit}")
    ax.set_ylabel(("radius" if round_ else "y") + f" / {unit}")
    ax.set_ylim(bottom=0)
    ax.grid(True, linewidth=0.3)
    ax.legend(fontsize=8, loc="lower right")
figure.tight_layout()
figure.savefig(sys.argv[1] if len(sys.argv) > 1 else "docs/python-walls.png", dpi=100)
