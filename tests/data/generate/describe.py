#!/usr/bin/env python3
"""Print facts about an ascii OpenFOAM case (mesh sizes, patches, zones,
times, fields, uniform/time, first values) as Markdown. Used to write
tests/data/README.md. Needs ascii, uncompressed files (convert a copy with
foamFormatConvert first for binary/gzip cases).

usage: describe.py CASE_DIR [FIELDFILE:PATCH ...] [CHECKMESH_LOG ...]
"""
import os, re, sys

def body(path):
    txt = open(path, errors="replace").read()
    txt = re.sub(r"/\*.*?\*/", "", txt, flags=re.S)
    txt = re.sub(r"//[^\n]*", "", txt)
    return txt

def header(path):
    m = re.search(r"FoamFile\s*\{(.*?)\}", body(path), re.S)
    d = {}
    if m:
        for k, v in re.findall(r"(\w+)\s+([^;]*);", m.group(1)):
            d[k] = v.strip().strip('"')
    return d

def after_header(path):
    t = body(path)
    m = re.search(r"FoamFile\s*\{.*?\}", t, re.S)
    return t[m.end():] if m else t

def mesh_counts(pm):
    h = header(os.path.join(pm, "owner"))
    note = h.get("note", "")
    return dict(re.findall(r"(\w+):(\d+)", note))

def boundary(pm):
    t = after_header(os.path.join(pm, "boundary"))
    out = []
    for name, blk in re.findall(r"(\w+)\s*\{([^{}]*)\}", t):
        kv = dict(re.findall(r"(\w+)\s+([^;]*);", blk))
        out.append((name, kv))
    return out

def zones(pm, kind):
    p = os.path.join(pm, kind)
    if not os.path.exists(p):
        return None
    t = after_header(p)
    out = []
    for name, blk in re.findall(r"(\w+)\s*\{(.*?)\n\}", t, re.S):
        lab = re.search(r"(cell|face|point)Labels\s+List<label>\s*(\d+)\s*([({])", blk)
        n = int(lab.group(2)) if lab else 0
        extra = ""
        if lab:
            if lab.group(3) == "(":
                seg = blk[lab.end():]
                vals = seg[:seg.index(")")].split()
                extra = " labels " + " ".join(vals[:12]) + (" ..." if len(vals) > 12 else "")
        fm = re.search(r"flipMap\s+List<bool>\s*(\d+)\s*([({])([^)}]*)", blk)
        if fm:
            extra += "; flipMap " + ("%s(%s)" % (fm.group(1), " ".join(fm.group(3).split())) if fm.group(2) == "(" else "%s{%s}" % (fm.group(1), fm.group(3).strip()))
        out.append((name, n, extra))
    return out

def is_time(name):
    try:
        float(name); return True
    except ValueError:
        return False

def first_values(path, n=3):
    t = after_header(path)
    m = re.search(r"internalField\s+(uniform\s+[^;]*|nonuniform\s+List<\w+>\s*(\d+)\s*\()", t)
    if not m:
        return None
    if m.group(1).startswith("uniform"):
        return m.group(1).strip()
    seg = t[m.end():]
    vals = re.findall(r"\([^()]*\)|[-+0-9.eE]+", seg[:4000])
    return "nonuniform %s: %s" % (m.group(2), ", ".join(vals[:n]))

def patch_value(path, patch):
    t = after_header(path)
    m = re.search(r"\b%s\s*\{([^{}]*)\}" % re.escape(patch), t, re.S)
    if not m:
        return None
    blk = m.group(1)
    ty = re.search(r"type\s+([^;]+);", blk)
    v = re.search(r"\bvalue\s+(uniform\s+[^;]*|nonuniform\s+List<\w+>\s*(\d+)\s*\(([^;]*))", blk, re.S)
    s = "type %s" % ty.group(1) if ty else ""
    if v:
        if v.group(1).startswith("uniform"):
            s += ", value " + v.group(1).strip()
        else:
            vals = re.findall(r"\([^()]*\)|[-+0-9.eE]+", v.group(3))
            s += ", value nonuniform %s: %s ..." % (v.group(2), ", ".join(vals[:3]))
    return s

def describe_mesh(pm, title):
    print("- mesh `%s`:" % title)
    c = mesh_counts(pm)
    print("  points %s, cells %s, faces %s, internal faces %s" % (
        c.get("nPoints"), c.get("nCells"), c.get("nFaces"), c.get("nInternalFaces")))
    print("  - patches (name: type, nFaces, startFace):")
    for name, kv in boundary(pm):
        extra = ""
        for k in ("neighbProcNo", "myProcNo", "sampleRegion", "samplePatch"):
            if k in kv:
                extra += ", %s %s" % (k, kv[k])
        print("    - %s: %s, %s, %s%s" % (name, kv.get("type"), kv.get("nFaces"), kv.get("startFace"), extra))
    for kind in ("cellZones", "faceZones", "pointZones"):
        z = zones(pm, kind)
        if z:
            print("  - %s:" % kind)
            for name, n, extra in z:
                print("    - %s: %d entries;%s" % (name, n, extra))

def describe_times(root, region=None, fields_detail=("p", "T", "U")):
    times = sorted([d for d in os.listdir(root) if is_time(d) and os.path.isdir(os.path.join(root, d))], key=float)
    print("- time folders in `%s`: %s" % (os.path.basename(root.rstrip("/")) or root, " ".join(times)))
    for t in times:
        d = os.path.join(root, t, region) if region else os.path.join(root, t)
        if not os.path.isdir(d):
            continue
        fields = []
        for f in sorted(os.listdir(d)):
            p = os.path.join(d, f)
            if os.path.isfile(p):
                fields.append("%s (%s)" % (f, header(p).get("class")))
        line = "  - `%s`: %s" % (os.path.relpath(d, root), ", ".join(fields))
        ut = os.path.join(root, t, "uniform", "time")
        if os.path.exists(ut):
            tt = after_header(ut)
            idx = re.search(r"index\s+(\d+);", tt).group(1)
            val = re.search(r"value\s+([^;]+);", tt).group(1)
            line += "; uniform/time index %s, value %s" % (idx, val)
        print(line)
        for f in fields_detail:
            p = os.path.join(d, f)
            if os.path.isfile(p):
                print("    - %s internalField: %s" % (f, first_values(p)))

def describe_case(case, patch_samples=()):
    pm = os.path.join(case, "constant", "polyMesh")
    if os.path.isdir(pm):
        describe_mesh(pm, "constant/polyMesh")
    regions = sorted(r for r in os.listdir(os.path.join(case, "constant"))
                     if os.path.isdir(os.path.join(case, "constant", r, "polyMesh")) and r != "polyMesh")
    for r in regions:
        describe_mesh(os.path.join(case, "constant", r, "polyMesh"), "constant/%s/polyMesh" % r)
    procs = sorted(d for d in os.listdir(case) if re.match(r"processor\d+$", d))
    for pr in procs:
        describe_mesh(os.path.join(case, pr, "constant", "polyMesh"), "%s/constant/polyMesh" % pr)
    if regions:
        for r in regions:
            print("- region `%s`:" % r)
            describe_times(case, r)
    else:
        describe_times(case)
    for pr in procs:
        describe_times(os.path.join(case, pr))
    for path, patch in patch_samples:
        print("- `%s` patch %s: %s" % (path, patch, patch_value(os.path.join(case, path), patch)))

if __name__ == "__main__":
    case = sys.argv[1]
    samples = []
    logs = []
    for a in sys.argv[2:]:
        if ":" in a and not os.path.exists(a):
            f, pt = a.rsplit(":", 1)
            samples.append((f, pt))
        else:
            logs.append(a)
    describe_case(case, samples)
    for log in logs:
        t = open(log).read()
        m = re.search(r"Overall number of cells of each type:(.*?)\n\n", t, re.S)
        if m:
            print("- checkMesh (%s) cell types: %s" % (os.path.basename(log), "; ".join(" ".join(l.split()) for l in m.group(1).strip().splitlines())))
