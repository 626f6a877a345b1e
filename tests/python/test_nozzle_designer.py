"""The Python module against the command line: the same inputs give the same numbers,
files and messages."""
import filecmp
import json
import os
import pathlib
import re
import shutil
import subprocess
import sys

import numpy
import pytest

import nozzle_designer as nd

CLI = os.environ.get("NOZZLE_CLI", "nozzle-cli")
ROOT = pathlib.Path(__file__).resolve().parents[2]


def cli(tmp_path, *args):
    """Runs nozzle-cli in tmp_path; returns (status, standard output, standard error)."""
    run = subprocess.run([CLI, *args], cwd=tmp_path, capture_output=True, text=True)
    return run.returncode, run.stdout, run.stderr


@pytest.mark.parametrize("args", [
    dict(me=2.4, n=49),
    dict(me=3.5, n=13, teta0=0, gamma="5/3"),
    dict(me=2.4, n=49, axisymmetric=True),
    dict(me=3, n=31, teta0=0.2, gamma=1.3, axisymmetric=True),
    dict(me=3, n=10, throat_radius=1.5),
    dict(me=2.4, n=12, throat_radius=2, axisymmetric=True),
    dict(family="conical", area_ratio=10, throat_radius=3, n=20, half_angle=12),
])
def test_the_wall_is_the_command_lines_csv_to_the_last_bit(tmp_path, args):
    d = nd.design(**args)
    flags = [f"--{k.replace('_', '-')}={v}" for k, v in args.items() if k != "axisymmetric"]
    flags += ["--axisymmetric"] if args.get("axisymmetric") else []
    status, _, _ = cli(tmp_path, *flags, "--csv", "wall.csv")
    assert status == 0
    rows = (tmp_path / "wall.csv").read_text().splitlines()
    assert rows[0] == ("x,r" if d.kind == "axisymmetric" else "x,y")
    x, y = numpy.array([[float(v) for v in row.split(",")] for row in rows[1:]]).T
    assert numpy.array_equal(numpy.concatenate([d.convergent.x, d.wall.x]), x)
    assert numpy.array_equal(numpy.concatenate([d.convergent.y, d.wall.y]), y)
    assert (len(d.convergent.x) > 0) == ("throat_radius" in args or args.get("family") == "conical")
    assert d.wall.theta.dtype == numpy.float64 and len(d.convergent.M) + len(d.wall.M) == len(x)


def test_files_and_summary_are_the_command_lines_byte_for_byte(tmp_path):
    for round_ in (False, True):
        d = nd.design(me=2.4, n=13, gamma=1.2, axisymmetric=round_)
        flags = ["--n", "13", "--gamma", "1.2"] + (["--axisymmetric"] if round_ else [])
        assert cli(tmp_path, *flags, "--svg", "c.svg", "--dxf", "c.dxf", "--csv", "c.csv", "--scale", "10mm")[0] == 0
        d.write_svg(tmp_path / "p.svg")
        d.write_dxf(tmp_path / "p.dxf", scale=10, unit="mm")
        d.write_csv(str(tmp_path / "p.csv"), scale="10mm")
        for kind in ("svg", "dxf", "csv"):
            assert (tmp_path / f"p.{kind}").read_bytes() == (tmp_path / f"c.{kind}").read_bytes(), kind
        assert d.summary() == cli(tmp_path, *flags, "--summary")[1]
        assert d.svg() == d._repr_svg_() == (tmp_path / "c.svg").read_text()


@pytest.mark.skipif(not hasattr(nd.Design, "write_step"), reason="built without OpenCASCADE")
def test_the_step_solid_and_the_spline_dxf_are_the_command_lines(tmp_path):
    for round_ in (False, True):
        d = nd.design(me=2.4, n=13, axisymmetric=round_)
        flags = ["--n", "13", "--scale", "0.5in", "--wall-thickness", "2mm"] + (["--axisymmetric"] if round_ else [])
        assert cli(tmp_path, *flags, "--step", "c.step", "--dxf", "c.dxf", "--dxf-curve", "spline")[0] == 0
        d.write_step(tmp_path / "p.step", scale="0.5in", wall_thickness="2mm")
        d.write_dxf(tmp_path / "p.dxf", scale=0.5, unit="in", curve="spline")
        assert (tmp_path / "p.dxf").read_bytes() == (tmp_path / "c.dxf").read_bytes()
        stamp = re.compile(rb"'\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d'")  # the header's time of writing
        step = stamp.sub(b"", (tmp_path / "p.step").read_bytes())
        assert step == stamp.sub(b"", (tmp_path / "c.step").read_bytes())
        assert step.startswith(b"ISO-10303-21;") and b"lengths in in" in step.replace(b"\n", b"")
    with pytest.raises(ValueError, match="span: a round nozzle is revolved whole"):
        d.write_step(tmp_path / "q.step", span="1in")
    with pytest.raises(ValueError, match="curve = 'bezier': unknown"):
        d.write_dxf(tmp_path / "q.dxf", curve="bezier")
    assert not (tmp_path / "q.step").exists() and not (tmp_path / "q.dxf").exists()


def test_facts_lines_and_warnings_describe_the_design():
    d = nd.design(me=2.4, n=7)
    assert d.kind == "planar" and d.inputs == dict(me=2.4, n=7, teta0=0.373, gamma=1.4, axisymmetric=False,
                                                    family="minimum-length")
    assert round(d.facts["teta_max"], 3) == 18.373 and d.facts["largest_wall_angle"] == d.facts["teta_max"]
    assert round(d.facts["length"], 3) == 8.074 and round(d.facts["exit_height"], 3) == 2.399
    assert d.facts["exit_height"] == d.wall.y[-1] and d.warnings == []
    names = [line.name for line in d.lines]
    assert names == [f"C- line {k}" for k in range(1, 8)] + [f"C+ line {j}" for j in range(1, 8)]
    # Each C+ line ends on its wall point, each C- wave starts at the corner.
    assert all(line.x[-1] == d.wall.x[j + 1] for j, line in enumerate(d.lines[7:]))
    assert all((line.x[0], line.y[0]) == (0.0, 1.0) for line in d.lines[:7])

    r = nd.design(me=2.4, n=49, axisymmetric=True)
    assert r.facts["largest_wall_angle"] > r.facts["teta_max"] and r.facts["mass_balance_percent"] < 0.1
    assert {line.family for line in r.lines} == {"C-", "C+", "turning"}
    assert "C+ line 0.2" in [line.name for line in nd.design(n=7, axisymmetric=True).lines]

    with pytest.warns(UserWarning, match="^The wall turns back on itself at wall point 2"):
        assert nd.design(me=10, n=2).warnings[0].startswith("The wall turns back on itself at wall point")


def test_input_faults_raise_value_error_with_the_command_lines_message(tmp_path):
    for args, flags in ((dict(n=60, gamma=2), ["--n", "60", "--gamma", "2"]), (dict(me="2,4"), ["--me", "2,4"])):
        with pytest.raises(ValueError) as fault:
            nd.design(**args)
        status, _, err = cli(tmp_path, *flags)
        assert status == 2 and str(fault.value) + "\n" == err
    with pytest.raises(ValueError, match="Throat half-height scale = "):
        nd.design().write_csv(tmp_path / "x.csv", scale="10 furlongs")
    with pytest.raises(TypeError):
        nd.design(n=[7])


def test_run_faults_raise_an_error_subclass_naming_the_step(tmp_path):
    with pytest.raises(nd.DesignError, match="^design: no corner angle above Teta0") as fault:
        nd.design(me=1.11, axisymmetric=True)
    assert isinstance(fault.value, RuntimeError) and isinstance(fault.value, nd.Error)
    (tmp_path / "taken").mkdir()
    with pytest.raises(nd.WriteError, match='^write: cannot write ".*taken"'):
        nd.design().write_csv(tmp_path / "taken")
    with pytest.raises(nd.CfdError, match="^OpenFOAM check: no valid mesh exists: The wall turns back"):
        nd.design(me=10, n=2).write_openfoam(tmp_path / "case")
    assert not (tmp_path / "case").exists()
    rounded = nd.design(throat_radius=2, axisymmetric=True)
    assert round(rounded.facts["discharge_coefficient"], 6) == 0.996196
    assert rounded.summary() == cli(tmp_path, "--throat-radius", "2", "--axisymmetric", "--summary")[1]
    rounded.write_openfoam(tmp_path / "case")
    assert "totalPressure" in (tmp_path / "case" / "coarse" / "0" / "p").read_text()
    nd.design(family="conical", area_ratio=4).write_openfoam(tmp_path / "cone")
    assert "totalPressure" in (tmp_path / "cone" / "coarse" / "0" / "p").read_text()


def test_the_openfoam_case_is_the_command_lines(tmp_path):
    nd.design(n=13, axisymmetric=True).write_openfoam(tmp_path / "py", cells=64, jobs=2, scale=0.01, unit="m")
    assert cli(tmp_path, "--n", "13", "--axisymmetric", "--openfoam", "cli", "--cfd-cells", "64", "--cfd-jobs", "2",
               "--scale", "0.01m")[0] == 0
    compared = filecmp.dircmp(tmp_path / "py", tmp_path / "cli")
    assert not compared.diff_files and not compared.left_only and not compared.right_only
    for mesh in ("coarse", "medium", "fine"):
        sub = filecmp.dircmp(tmp_path / "py" / mesh / "system", tmp_path / "cli" / mesh / "system")
        assert not sub.diff_files
        assert filecmp.cmp(tmp_path / "py" / mesh / "0" / "p", tmp_path / "cli" / mesh / "0" / "p", shallow=False)
    with pytest.raises(ValueError, match="exists and is not empty"):
        nd.design().write_openfoam(tmp_path / "py")


def test_a_wall_corrected_for_its_boundary_layer_is_the_command_lines(tmp_path):
    tunnel = ["--n", "49", "--p0", "0.13bar", "--t0", "300", "--scale", "10mm"]
    assert cli(tmp_path, *tunnel, "--csv", "c.csv", "--svg", "c.svg", "--boundary-layer-csv", "c_layer.csv")[0] == 0
    d = nd.design(n=49, p0="0.13bar", t0=300, scale="10mm")
    d.write_csv(tmp_path / "p.csv", scale="10mm")
    d.write_svg(tmp_path / "p.svg")
    d.write_boundary_layer_csv(tmp_path / "p_layer.csv")
    for name in ("csv", "svg", "layer.csv"):
        assert (tmp_path / f"p_{name}" if "." in name else tmp_path / f"p.{name}").read_bytes() == \
            (tmp_path / f"c_{name}" if "." in name else tmp_path / f"c.{name}").read_bytes(), name
    assert d.summary() == cli(tmp_path, *tunnel, "--summary")[1]
    assert round(d.facts["re_star"]) == 18963 and d.facts["turbulent"] is False
    layer = d.boundary_layer
    assert len(layer["delta_star"]) == len(d.wall) == len(d.corrected_wall) and layer["state"][-1] == "laminar"
    assert numpy.all(d.corrected_wall.y[1:] > d.wall.y[1:])
    spline = d.wall_spline  # through the corrected wall, the wall to build
    assert spline["degree"] == 3 and spline["point_distance"] < 1e-12 and spline["poles"].shape == (len(d.wall), 2)
    assert spline["poles"][-1][1] == pytest.approx(d.corrected_wall.y[-1], rel=1e-14)  # the clamped end
    if hasattr(nd.Design, "write_step"):
        d.write_step(tmp_path / "p.step", scale="10mm")
        assert b"wall corrected for the boundary layer" in (tmp_path / "p.step").read_bytes().replace(b"\n", b"")
    assert nd.design(n=49).boundary_layer is None and nd.design(n=49).corrected_wall is None
    with pytest.raises(ValueError, match="^gamma = 1.4 contradicts gas='co2' \\(gamma = 1.289\\)"):
        nd.design(gas="co2", gamma=1.4)
    with pytest.raises(ValueError, match="stagnation temperature is needed"):
        nd.design(p0="1bar", scale="10mm")
    with pytest.raises(ValueError, match="corrected for a throat of 0.01 m"):
        d.write_openfoam(tmp_path / "case", scale="25mm")
    assert nd.design(gas="helium").gamma == 5 / 3


def test_faults_name_pythons_keywords_and_a_gas_given_by_its_constants_is_the_command_lines(tmp_path):
    with pytest.raises(ValueError, match="^family = \"bell\": unknown nozzle family; accepted: minimum-length, conical, ideal, given-wall.$"):
        nd.design(family="bell")
    with pytest.raises(ValueError) as fault:
        nd.design(p0="1bar", t0=300)
    assert str(fault.value) == "scale: the boundary layer needs the physical throat half-height (radius) with a " \
                               "unit, for example scale='10mm'."
    with pytest.raises(ValueError, match="^gas_constant = \"\": accepted"):
        nd.design(prandtl=0.7, gamma=1.3, p0="1bar", t0=300, scale="10mm")
    constants = dict(gas_constant=296.8, viscosity="1.663e-5,273,107", prandtl=0.72)
    flags = ["--gas-constant", "296.8", "--viscosity", "1.663e-5,273,107", "--prandtl", "0.72"]
    tunnel = ["--n", "13", "--p0", "0.13bar", "--t0", "300", "--scale", "10mm", "--summary"]
    assert nd.design(n=13, p0="0.13bar", t0=300, scale="10mm", **constants).summary() == \
        cli(tmp_path, *tunnel, *flags)[1]
    assert nd.design(scale="10mm").boundary_layer is None  # a size alone asks for no layer
    with pytest.raises(ValueError, match="^cells = 8: out of range; accepted: a whole number from 32 on$"):
        nd.design().write_openfoam(tmp_path / "small", cells=8)
    with pytest.raises(ValueError, match="^core = 2: out of range; accepted: 0.05 to 1\ntimeout = 0: out of range"):
        nd.design().check(tmp_path / "small", core=2, timeout=0)
    assert not (tmp_path / "small").exists()


def test_a_conical_nozzle_gives_its_exit_profile_and_refuses_an_exit_mach_number():
    d = nd.design(family="conical", area_ratio=10, throat_radius=3, n=20)
    exit_ = d.exit_profile
    assert exit_["y"][0] == 0 and exit_["y"][-1] == d.facts["exit_height"] == 10
    assert exit_["theta"][-1] == pytest.approx(15, abs=1e-9)
    assert min(exit_["M"]) < d.facts["mean_exit_mach"] < max(exit_["M"])
    assert d.facts["thrust_coefficient"] == pytest.approx(d.facts["divergence_efficiency"] * 1.6469, abs=1e-4)
    assert "thrust_coefficient_ambient" in nd.design(ambient_pressure=0.01).facts
    assert len(nd.design(me=2.4).exit_profile["M"]) == 0
    with pytest.raises(ValueError, match="^me is the exit Mach number a minimum-length nozzle is designed for: "
                                         "a conical nozzle's exit follows from its area_ratio$"):
        nd.design(family="conical", area_ratio=10, me=3)
    with pytest.warns(UserWarning, match="a shock forms"):
        cone = nd.design(family="conical", area_ratio=10, throat_radius=1, n=20, axisymmetric=True)
    assert cone.facts["shock_x"] > 0 and "mean_exit_mach" not in cone.facts


def test_an_ideal_nozzle_reaches_its_inflection_angle_or_names_the_range_its_throat_admits():
    d = nd.design(family="ideal", me=2.4, throat_radius=2, inflection_angle=16, n=30)
    assert d.facts["inflection_angle"] == pytest.approx(16, abs=1e-3) == max(d.wall.theta)
    assert d.facts["exit_height"] == pytest.approx(d.facts["discharge_coefficient"] * d.facts["area_ratio"], rel=1e-3)
    with pytest.raises(ValueError, match="^an inflection angle of 8.00 degrees lies outside the range"):
        nd.design(family="ideal", me=2.4, throat_radius=2, inflection_angle=8, n=30)


def test_a_given_wall_is_read_from_its_file(tmp_path):
    nd.design(me=2.4, n=30, throat_radius=2).write_csv(tmp_path / "wall.csv")
    d = nd.design(family="given-wall", wall=tmp_path / "wall.csv", n=30)
    assert d.facts["throat_radius"] == 2 and d.facts["mean_exit_mach"] == pytest.approx(2.4, abs=1e-3)
    with pytest.raises(ValueError, match="^me is the exit Mach number a nozzle is designed for"):
        nd.design(family="given-wall", wall=tmp_path / "wall.csv", me=3)


def test_every_function_and_property_has_a_docstring():
    public = [nd.design, nd.Design, nd.Polyline, nd.Error, nd.DesignError, nd.WriteError, nd.CfdError]
    public += [getattr(nd.Design, name) for name in dir(nd.Design) if not name.startswith("_")]
    public += [getattr(nd.Polyline, name) for name in dir(nd.Polyline) if not name.startswith("_")]
    assert all(len(item.__doc__ or "") > 20 for item in public), [item for item in public if len(item.__doc__ or "") <= 20]


@pytest.mark.skipif(shutil.which("rhoCentralFoam") is None, reason="OpenFOAM is not installed")
def test_the_check_returns_the_figures_of_check_json(tmp_path):
    figures = nd.design(me=2.4, n=7).check(tmp_path / "case", cells=32, jobs=1)
    assert figures == json.loads((tmp_path / "case" / "check.json").read_text())
    assert figures["verdict"] in ("wall-good", "wall-coarse", "meshes-cannot-tell", "not-settled")
    assert [(m["cells_along"], m["cells_across"]) for m in figures["meshes"]] == [(8, 2), (16, 4), (32, 8)]


def test_the_readmes_example_draws_the_walls_of_three_gases(tmp_path):
    pytest.importorskip("matplotlib")
    example = ROOT / "docs" / "python_walls.py"
    run = subprocess.run([sys.executable, str(example), str(tmp_path / "walls.png")], capture_output=True, text=True,
                         env={**os.environ, "MPLBACKEND": "Agg"})
    assert run.returncode == 0, run.stderr
    assert (tmp_path / "walls.png").read_bytes()[:8] == b"\x89PNG\r\n\x1a\n"
