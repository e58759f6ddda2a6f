#!/usr/bin/python3
"""Holds the layers of src/ in place.

  includes SRC QT_INCLUDE_DIR   no widget-free folder includes a Qt Gui/Widgets header or a
                                window folder
  cycles SRC                    the folder include graph has no cycle
  links LINKS_FILE BINARY...    no widget-free library links Qt Gui/Widgets, neither by its
                                link interface (LINKS_FILE, written by CMake) nor in the
                                test programs that link it (ldd)

Prints one line per fault, naming the file and line or the library chain, and exits 1.
"""
import os
import re
import subprocess
import sys

# Everything that decides: links Qt Core at most.
CORE = {"common", "catalogue", "store", "rules", "engine", "journal", "analysis"}
# Beside the core, also widget-free.
WIDGET_FREE = CORE | {"instrument", "sim", "export"}
# Files of a widget-free folder that belong to the window.
WINDOW_FILES = {"export/save_panel.h", "export/save_panel.cpp"}
# Folders that hold widgets or handlers that read them.
WINDOW = {"panel", "channels", "display", "run", "app", "status", "analysis_view"}
WIDGET_MODULES = ("QtGui", "QtWidgets", "QtOpenGLWidgets", "QtSvgWidgets", "QtPrintSupport",
                  "QtCharts")
FORBIDDEN_LINKS = re.compile(r"Qt6?::(Gui|Widgets|OpenGLWidgets|SvgWidgets|PrintSupport|Charts)\b"
                             r"|libQt6(Gui|Widgets|OpenGLWidgets|SvgWidgets|PrintSupport|Charts)\.so")

# Folder cycles that are known and being removed, as (a, b) pairs of folders; empty when the
# graph is clean. Keep a comment beside each naming the change that removes it.
ALLOWED_CYCLES = set()

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')


def sources(src):
    for root, _, files in os.walk(src):
        for name in sorted(files):
            if name.endswith((".h", ".hpp", ".cpp", ".cc")):
                path = os.path.join(root, name)
                yield path, os.path.relpath(path, src).replace(os.sep, "/")


def includes(path):
    with open(path, encoding="utf-8", errors="replace") as f:
        for number, line in enumerate(f, 1):
            m = INCLUDE.match(line)
            if m:
                yield number, m.group(1), m.group(2)


def folder_of(src, path, rel, quote, name):
    """The top folder under src/ that a quoted include resolves to, or None."""
    if quote != '"':
        return None
    beside = os.path.join(os.path.dirname(path), name)
    if os.path.exists(beside):
        return os.path.relpath(os.path.normpath(beside), src).split(os.sep)[0]
    top = name.split("/")[0]
    if "/" in name and os.path.isdir(os.path.join(src, top)):
        return top
    return None


def check_includes(src, qt_include):
    widget_headers = set()
    for module in WIDGET_MODULES:
        folder = os.path.join(qt_include, module)
        if os.path.isdir(folder):
            widget_headers.update(os.listdir(folder))
            widget_headers.update(module + "/" + h for h in os.listdir(folder))
    faults = []
    for path, rel in sources(src):
        top = rel.split("/")[0]
        if top not in WIDGET_FREE or rel in WINDOW_FILES:
            continue
        for number, quote, name in includes(path):
            if quote == "<" and (name in widget_headers or name.split("/")[0] in WIDGET_MODULES):
                faults.append(f"src/{rel}:{number}: widget-free '{top}' includes widget header <{name}>")
            target = folder_of(src, path, rel, quote, name)
            if target in WINDOW or (name in WINDOW_FILES):
                faults.append(f"src/{rel}:{number}: widget-free '{top}' includes window code \"{name}\"")
    return faults


def folder_graph(src):
    edges = {}
    for path, rel in sources(src):
        top = rel.split("/")[0]
        for number, quote, name in includes(path):
            target = folder_of(src, path, rel, quote, name)
            if target and target != top:
                edges.setdefault(top, {}).setdefault(target, f"src/{rel}:{number}")
    return edges


def strongly_connected(edges):
    index, low, stack, on_stack, groups = {}, {}, [], set(), []
    nodes = set(edges) | {b for a in edges for b in edges[a]}

    def visit(v):
        index[v] = low[v] = len(index)
        stack.append(v)
        on_stack.add(v)
        for w in edges.get(v, {}):
            if w not in index:
                visit(w)
                low[v] = min(low[v], low[w])
            elif w in on_stack:
                low[v] = min(low[v], index[w])
        if low[v] == index[v]:
            group = []
            while True:
                w = stack.pop()
                on_stack.discard(w)
                group.append(w)
                if w == v:
                    break
            if len(group) > 1:
                groups.append(sorted(group))

    for v in sorted(nodes):
        if v not in index:
            visit(v)
    return groups


def check_cycles(src):
    edges = folder_graph(src)
    faults = []
    for group in strongly_connected(edges):
        inside = [(a, b) for a in group for b in group if b in edges.get(a, {})]
        unexplained = [(a, b) for a, b in inside
                       if (a, b) not in ALLOWED_CYCLES and (b, a) not in ALLOWED_CYCLES]
        if unexplained:
            faults.append("folders include each other in a cycle: " + " ".join(group))
            faults += [f"  {a} -> {b} ({edges[a][b]})" for a, b in inside]
    return faults


def check_links(links_file, binaries):
    faults = []
    with open(links_file, encoding="utf-8") as f:
        for line in f:
            line = line.strip()
            if line and FORBIDDEN_LINKS.search(line):
                faults.append("widget-free library links widgets: " + line)
    for binary in binaries:
        out = subprocess.run(["ldd", binary], capture_output=True, text=True, check=True).stdout
        for lib in sorted(set(FORBIDDEN_LINKS.findall(out))):
            faults.append(f"{os.path.basename(binary)} (a widget-free library's test) loads "
                          f"libQt6{lib[1]}")
    return faults


def main(argv):
    if len(argv) < 3:
        print(__doc__)
        return 2
    mode = argv[1]
    if mode == "includes":
        faults = check_includes(argv[2], argv[3])
    elif mode == "cycles":
        faults = check_cycles(argv[2])
    elif mode == "links":
        faults = check_links(argv[2], argv[3:])
    else:
        print(__doc__)
        return 2
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
