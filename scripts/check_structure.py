#!/usr/bin/env python3
"""Checks the shape of the source tree that the compiler cannot see.

  includes   no cycle between units (a unit is a .h/.cpp pair) through their
             quoted includes, except the annotation pair app/Form1 <-> app/Form2
  sizes      app/frmDesktopImage.cpp at most 450 lines, and no function in app/
             longer than 80 lines (signature to closing brace)

Usage: scripts/check_structure.py [--root DIR] [--self-test] [includes] [sizes]   (default: both)
Exits 1 and names every offender when a check fails. --self-test first runs
the checks on small made-up trees whose faults are known.
"""
import argparse
import os
import re
import sys

SUBSYSTEMS = ("base", "controls", "capture", "imaging", "export", "help", "skin", "app")
ALLOWED_CYCLES = [frozenset({"app/Form1", "app/Form2"})]
MAIN_WINDOW = "app/frmDesktopImage.cpp"
MAIN_WINDOW_LINES = 450
FUNCTION_LINES = 80
SOURCE_EXT = (".h", ".cpp")
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.M)


def source_files(root, folders):
    for top in folders:
        for dirpath, _, names in os.walk(os.path.join(root, top)):
            for n in sorted(names):
                if n.endswith(SOURCE_EXT):
                    yield os.path.relpath(os.path.join(dirpath, n), root).replace(os.sep, "/")


def unit_of(path):
    return os.path.splitext(path)[0]


def include_graph(root):
    """Unit -> set of units it includes (only includes that resolve to files of the tree)."""
    files = set(source_files(root, SUBSYSTEMS))
    graph = {}
    for f in files:
        with open(os.path.join(root, f), encoding="utf-8", errors="replace") as fh:
            text = fh.read()
        deps = graph.setdefault(unit_of(f), set())
        for inc in INCLUDE.findall(text):
            if inc in files and unit_of(inc) != unit_of(f):
                deps.add(unit_of(inc))
    return graph


def strongly_connected(graph):
    """Tarjan's components, iterative (deep include chains must not hit the recursion limit)."""
    index, low, on_stack, stack, result = {}, {}, set(), [], []
    counter = 0
    for start in sorted(graph):
        if start in index:
            continue
        work = [(start, iter(sorted(graph.get(start, ()))))]
        index[start] = low[start] = counter
        counter += 1
        stack.append(start)
        on_stack.add(start)
        while work:
            node, it = work[-1]
            advanced = False
            for nxt in it:
                if nxt not in index:
                    index[nxt] = low[nxt] = counter
                    counter += 1
                    stack.append(nxt)
                    on_stack.add(nxt)
                    work.append((nxt, iter(sorted(graph.get(nxt, ())))))
                    advanced = True
                    break
                if nxt in on_stack:
                    low[node] = min(low[node], index[nxt])
            if advanced:
                continue
            work.pop()
            if work:
                low[work[-1][0]] = min(low[work[-1][0]], low[node])
            if low[node] == index[node]:
                comp = set()
                while True:
                    w = stack.pop()
                    on_stack.discard(w)
                    comp.add(w)
                    if w == node:
                        break
                result.append(comp)
    return result


def include_cycles(root):
    graph = include_graph(root)
    cycles = [c for c in strongly_connected(graph) if len(c) > 1 and frozenset(c) not in ALLOWED_CYCLES]
    return graph, sorted(sorted(c) for c in cycles)


def strip_code(text):
    """Comments, string and character literals and preprocessor lines blanked; newlines kept."""
    out, i, n = [], 0, len(text)
    while i < n:
        c = text[i]
        if text.startswith("//", i) or (c == "#" and (i == 0 or text[i - 1] == "\n" or
                                                       text[text.rfind("\n", 0, i) + 1:i].strip() == "")):
            j = text.find("\n", i)
            j = n if j < 0 else j
            while c == "#" and j < n and text[j - 1] == "\\":  # continued directive
                k = text.find("\n", j + 1)
                out.append("\n")
                j = n if k < 0 else k
            i = j
            continue
        if text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            out.append(re.sub(r"[^\n]", " ", text[i:j]))
            i = j
            continue
        raw = re.match(r'(?:L|u8|u|U)?R"([^(\s]*)\(', text[i:i + 40]) if c in 'LuUR' else None
        if raw and (i == 0 or not (text[i - 1].isalnum() or text[i - 1] == "_")):
            end = text.find(")" + raw.group(1) + '"', i)
            end = n if end < 0 else end + len(raw.group(1)) + 2
            out.append(re.sub(r"[^\n]", " ", text[i:end]))
            i = end
            continue
        if c in "\"'":
            j = i + 1
            while j < n and text[j] != c and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            out.append(" " * (min(j, n - 1) - i + 1))
            i = j + 1
            continue
        out.append(c)
        i += 1
    return "".join(out)


CONTAINER = re.compile(r"^\s*(template\s*<.*>\s*)?(namespace|class|struct|union|enum|extern)\b", re.S)
BODY_END = re.compile(r"(\)|\}|\bconst|\boverride|\bnoexcept|\bfinal|\bmutable|->\s*[\w:<>,\s*&]+)\s*$", re.S)


def functions(text):
    """(name, first line, last line) of every function body at namespace or class level."""
    code = strip_code(text)
    stack = []  # 'c' container, 'f' function, 'o' other
    seg_start = 0
    found = []
    for i, c in enumerate(code):
        at_container_level = all(k == "c" for k in stack)
        if c == ";" and at_container_level:
            seg_start = i + 1
        elif c == "{":
            if not at_container_level:
                stack.append("o")
                continue
            seg = code[seg_start:i]
            if CONTAINER.match(seg) and "(" not in seg:
                stack.append("c")
                seg_start = i + 1
            elif "(" in seg and BODY_END.search(seg):
                first = seg_start + len(seg) - len(seg.lstrip())
                stack.append(("f", first))
            else:
                stack.append("o")
        elif c == "}" and stack:
            kind = stack.pop()
            if isinstance(kind, tuple):
                first = kind[1]
                sig = code[first:code.find("(", first)].split()
                name = sig[-1] if sig else "?"
                found.append((name, code.count("\n", 0, first) + 1, code.count("\n", 0, i) + 1))
                seg_start = i + 1
            elif kind == "c" and all(k == "c" for k in stack):
                seg_start = i + 1
    return found


def size_offenders(root):
    problems = []
    path = os.path.join(root, MAIN_WINDOW)
    if os.path.exists(path):
        with open(path, encoding="utf-8", errors="replace") as fh:
            lines = fh.read().count("\n")
        if lines > MAIN_WINDOW_LINES:
            problems.append(f"{MAIN_WINDOW}: {lines} lines (at most {MAIN_WINDOW_LINES})")
    longest = ("", 0)
    for f in source_files(root, ("app",)):
        with open(os.path.join(root, f), encoding="utf-8", errors="replace") as fh:
            text = fh.read()
        for name, first, last in functions(text):
            length = last - first + 1
            if length > longest[1]:
                longest = (f"{f}:{first} {name}", length)
            if length > FUNCTION_LINES:
                problems.append(f"{f}:{first}: {name} has {length} lines (at most {FUNCTION_LINES})")
    return problems, longest


def self_test():
    """The checks on made-up trees: each must find exactly the planted faults."""
    import tempfile

    def tree(files):
        root = tempfile.mkdtemp(prefix="structure-")
        for path, text in files.items():
            os.makedirs(os.path.dirname(os.path.join(root, path)), exist_ok=True)
            with open(os.path.join(root, path), "w", encoding="utf-8") as fh:
                fh.write(text)
        return root

    body = lambda n: "".join(f"    x += {i};\n" for i in range(n))
    cases = [
        ("pair cycle through .cpp files",
         {"controls/a.h": "", "controls/a.cpp": '#include "controls/b.h"\n',
          "controls/b.h": "", "controls/b.cpp": '#include "controls/a.h"\n'},
         [["controls/a", "controls/b"]], []),
        ("three-unit cycle through headers, and the allowed pair",
         {"base/x.h": '#include "base/y.h"\n', "base/y.h": '#include "base/z.h"\n',
          "base/z.h": '#include "base/x.h"\n', "app/Form1.cpp": '#include "app/Form2.h"\n',
          "app/Form1.h": "", "app/Form2.h": "", "app/Form2.cpp": '#include "app/Form1.h"\n'},
         [["base/x", "base/y", "base/z"]], []),
        ("includes in comments and strings do not count; a chain is no cycle",
         {"base/p.h": '// #include "base/q.h"\nconst char* s = "#include";\n', "base/q.h": '#include "base/p.h"\n'},
         [], []),
        ("long functions: free, member in a class, constructor with brace initialisers",
         {"app/w.cpp": "namespace px {\nnamespace {\nint Short() {\n    return 1;\n}\n}  // namespace\n"
                       "int Long(int x) {\n" + body(80) + "    return x;\n}\n"
                       "struct S {\n    int Member() const {\n" + body(79) + "        return 0;\n    }\n};\n"
                       "W::W() : a_{1}, b_(2) {\n" + body(10) + "}\n"
                       "const int kTable[] = {1, 2, 3};\n}  // namespace px\n"},
         [], ["app/w.cpp:7: Long has 83 lines", "app/w.cpp:91: Member has 82 lines"]),
    ]
    ok = True
    for name, files, cycles, sizes in cases:
        root = tree(files)
        got_cycles = include_cycles(root)[1]
        got_sizes = [p.split(" (")[0] for p in size_offenders(root)[0]]
        if got_cycles != cycles or got_sizes != sizes:
            print(f"self-test '{name}': cycles {got_cycles} (want {cycles}), sizes {got_sizes} (want {sizes})")
            ok = False
    print("self-test: " + ("passed" if ok else "FAILED"))
    return ok


def main(argv):
    ap = argparse.ArgumentParser()
    ap.add_argument("--root", default=os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
    ap.add_argument("--self-test", action="store_true")
    ap.add_argument("checks", nargs="*", help="includes, sizes (default: both)")
    args = ap.parse_args(argv)
    if args.self_test and not self_test():
        return 1
    checks = args.checks or ["includes", "sizes"]
    if set(checks) - {"includes", "sizes"}:
        ap.error("checks are: includes, sizes")
    root = os.path.abspath(args.root)
    failed = False
    if "includes" in checks:
        graph, cycles = include_cycles(root)
        for c in cycles:
            print("include cycle: " + " <-> ".join(c))
        failed |= bool(cycles)
        print(f"includes: {len(graph)} units, {sum(map(len, graph.values()))} unit includes, "
              f"{len(cycles)} cycle(s) beyond {' <-> '.join(sorted(ALLOWED_CYCLES[0]))}")
    if "sizes" in checks:
        problems, longest = size_offenders(root)
        for p in problems:
            print(p)
        failed |= bool(problems)
        print(f"sizes: longest function in app/ is {longest[0]} with {longest[1]} lines")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
