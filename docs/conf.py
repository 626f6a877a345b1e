# The documentation site: Sphinx with MyST, from the Markdown pages of this folder.
#   python3 -m sphinx -W -b html docs build/docs-site
# The Python API is read from the built module's docstrings (build/src, or the folder
# in NOZZLE_PYTHON_PATH), as help() shows them; the command line's reference from its
# manual page.
import os
import pathlib
import subprocess
import sys

here = pathlib.Path(__file__).resolve().parent
sys.path.insert(0, os.environ.get("NOZZLE_PYTHON_PATH", str(here.parent / "build" / "src")))

project = "Nozzle Designer"
author = "The Nozzle Designer team"
copyright = "2026, " + author
extensions = ["myst_parser"]
source_suffix = {".md": "markdown"}
exclude_patterns = ["_build", "_generated/*.md"]
myst_heading_anchors = 3
html_theme = "alabaster"
html_static_path = []

# The manual page as `man` shows it, for the reference page.
generated = here / "_generated"
generated.mkdir(exist_ok=True)
page = subprocess.run(["man", "-l", str(here / "nozzle-cli.1")], capture_output=True, text=True, check=True,
                      env={**os.environ, "MANWIDTH": "90", "MAN_KEEP_FORMATTING": "", "GROFF_NO_SGR": "1"})
(generated / "nozzle-cli.txt").write_text(subprocess.run(["col", "-b"], input=page.stdout, capture_output=True,
                                                         text=True, check=True).stdout)


def python_api():
    """The module's reference: every function, class, property and method with its docstring."""
    import nozzle_designer as nd

    def block(doc):
        return ["```text", (doc or "").strip(), "```", ""]

    lines = ["## The module's reference", "",
             "Every function, class, property and method, with its docstring as `help()` shows it.", ""]
    lines += block(nd.__doc__)
    lines += ["### design", ""] + block(nd.design.__doc__)
    for cls in (nd.Design, nd.Polyline):
        lines += [f"### {cls.__name__}", ""] + block(cls.__doc__)
        for name, member in sorted(vars(cls).items()):
            if name.startswith("_"):
                continue
            kind = "property" if isinstance(member, property) else "method"
            lines += [f"#### {cls.__name__}.{name} ({kind})", ""] + block(member.__doc__)
    lines += ["### Errors", ""]
    for error in (nd.Error, nd.DesignError, nd.WriteError, nd.CfdError):
        lines += [f"#### {error.__name__} ({error.__mro__[1].__name__})", ""] + block(error.__doc__)
    return "\n".join(lines)


(generated / "python_api.md").write_text(python_api())
